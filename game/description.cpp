// SPDX-License-Identifier: MIT
// The position in words, for assistive tools: what the board shows, one item a line.
#include "game.h"

#include "messages.h"

#include <QStringList>

namespace {
QString numberList(const QList<std::int32_t> &numbers)
{
    QStringList words;
    for (const std::int32_t n : numbers)
        words << QString::number(n);
    return words.join(QStringLiteral(", "));
}
} // namespace

QList<std::int32_t> Game::openPegs(std::int32_t Stage) const
{
    QList<std::int32_t> open;
    for (int p = 1; p <= kPegs; ++p)
        if (pegInTriangle(Stage, p))
            open << p;
    return open;
}

QString Game::nextTarget() const
{
    const QList<std::int32_t> open = openPegs(plngStage);
    return QStringLiteral("Next %1").arg(plngStage)
        + (open == openPegs(plngStage - 1) ? QString() : QStringLiteral(", open ") + numberList(open)) + '.';
}

QString Game::Description() const
{
    QStringList lines;
    if (pblnRunning) {
        lines << QStringLiteral("Target peg: %1").arg(plngStage)
              << QStringLiteral("Open pegs: ") + numberList(openPegs(plngStage));
    } else {
        lines << QStringLiteral("Game over");
    }
    lines << QStringLiteral("Moves: %1").arg(plngMoveCount);

    // Bottom to top is biggest to smallest: rings in their numbers' order. A held
    // ring is off its peg, as the picture shows it.
    std::array<QList<std::int32_t>, kPegs + 1> onPeg;
    for (int r = 1; r <= kRings; ++r)
        if (r != m_keyRing && ptypRings[r].Peg >= 1 && ptypRings[r].Peg <= kPegs)
            onPeg[ptypRings[r].Peg] << r;
    for (int p = 1; p <= kPegs; ++p)
        lines << QStringLiteral("Peg %1: ").arg(p)
                + (onPeg[p].isEmpty() ? QStringLiteral("empty") : numberList(onPeg[p]));

    if (m_keyRing != 0) {
        const std::int32_t from = ptypRings[m_keyRing].Peg;
        QString held = QStringLiteral("Holding ring %1 from peg %2").arg(m_keyRing).arg(from);
        if (m_keyPeg != from)
            held += QStringLiteral(" over peg %1").arg(m_keyPeg);
        lines << held;
    }
    const QString text = DisplayCentered();
    if (!text.isEmpty())
        lines << OneLine(text);
    // The keys, for a player who cannot see the manual. Screen readers keep the
    // keypad for themselves.
    lines << QStringLiteral("Keys: 1 to 6 lift a ring and put it down, Left and Right carry it, Enter puts it "
                            "down, Escape puts it back. With a screen reader, use the digits above the letters, "
                            "not the keypad.");
    return lines.join(QLatin1Char('\n'));
}
