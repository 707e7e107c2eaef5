// SPDX-License-Identifier: MIT
// One copy per user, through the session bus: the first start owns the game's
// well-known name there and brings its window to the front when asked; a later
// start asks it and ends. The bus frees the name the moment its owner ends.
#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

// A later start that could not hand over to the running copy: what went wrong, in words.
struct HandOverFailed : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

namespace SingleInstance {
// Keeps the launcher's startup id and activation token before the platform
// starts, which may clear them; the start's time on the bus counts from here.
void prepare();
// True when another copy owns the name. The first call decides: a first copy
// takes the name, with the application's object in place before it.
bool PrevInstance();
// Asks the running copy to bring its window to the front with this start's
// startup id or token; throws HandOverFailed when it does not answer in time.
void AppActivate(const QString &title);
// The running copy's side: raise, restore and activate the window titled title,
// completing the launcher's start-up feedback; false when there is none.
bool activateWindow(const QString &title, const QByteArray &startupId, const QByteArray &token);
} // namespace SingleInstance
