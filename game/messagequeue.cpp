// SPDX-License-Identifier: MIT
// Short messages: shown over the board one after the other for a limited time,
// after which the text from before them comes back.
#include "game.h"

#include "app/slicearray.h"
#include "messages.h"
#include "platform/clock.h"
#include "support/supportlibrary.h"

namespace {
// A message stays this long when nothing waits behind it...
constexpr std::uint32_t kMessageMillis = 4500;
// ...and gives way after a quarter of that when others wait.
constexpr std::uint32_t kHurriedMillis = kMessageMillis / 4;
} // namespace

QString Game::ShortMessage() const
{
    return pstrShortMessage;
}

void Game::resetMessageQueue()
{
    pstrMessageQueue.erase();
    plngMessageTick = 0;
    m_messageUp = false;
    pstrShortMessage.clear();
}

void Game::SetShortMessage(const QString &NewValue)
{
    SupportLibrary &lib = SupportLibrary::instance();

    if (!NewValue.isEmpty()) {
        if (!m_messageUp) {
            pstrSavedCentered = DisplayCentered();
            SetDisplayCentered(NewValue);
            pstrShortMessage = DisplayCentered();
            plngMessageTick = Clock::TickCount();
            m_messageUp = true;
            Announce(SpokenMessage(pstrShortMessage));
        } else {
            pstrMessageQueue.append(Value(NewValue)); // equal texts are queued too
        }
        return;
    }

    // The tick.
    if (!m_messageUp)
        return;
    if (pstrShortMessage != DisplayCentered()) {
        // Someone replaced the overlay meanwhile: show the message again and put
        // their text back after it.
        pstrSavedCentered = DisplayCentered();
        SetDisplayCentered(pstrShortMessage);
    }

    // Unsigned difference: right across the 32-bit wrap of the tick counter.
    const std::uint32_t elapsed = Clock::TickCount() - plngMessageTick;
    const bool waiting = !lib.IsArrayEmpty(pstrMessageQueue);
    if (elapsed < kMessageMillis && !(waiting && elapsed >= kHurriedMillis))
        return;

    if (!waiting) {
        m_messageUp = false;
        plngMessageTick = 0;
        SetDisplayCentered(pstrSavedCentered);
        pstrSavedCentered.clear();
        pstrShortMessage.clear();
        return;
    }

    SetDisplayCentered(pstrMessageQueue.at(1).text());
    pstrShortMessage = DisplayCentered();
    plngMessageTick = Clock::TickCount();
    Announce(SpokenMessage(pstrShortMessage));
    if (pstrMessageQueue.upper() == 1) {
        pstrMessageQueue.erase();
    } else {
        const Value rest = SliceArray(Value(pstrMessageQueue), 2, pstrMessageQueue.upper() - 1);
        pstrMessageQueue = lib.RebaseArray(rest.array(), 1).array();
    }
}
