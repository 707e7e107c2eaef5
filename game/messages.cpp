// SPDX-License-Identifier: MIT
// The messages over the board, each beside its spoken form.
#include "messages.h"

#include <QRegularExpression>

#include <array>

namespace {
struct Message
{
    const char *shown;  // %1, %2, %3 stand for numbers
    const char *spoken; // in the same numbers
};
constexpr Message kNotRunning{"Game is not running.\r\nHit 'New Game'!", "Not running."};
constexpr Message kOutside{"Peg %1 is outside of\r\nthe current triangle!", "%1 closed."};
constexpr Message kBiggerOnSmaller{"No way moving bigger ring %1\r\non top of smaller ring %2\r\nin peg %3!", "%1 on %2 no."};
} // namespace

QString NotRunningMessage()
{
    return QLatin1String(kNotRunning.shown);
}

QString OutsideMessage(std::int32_t peg)
{
    return QString::fromLatin1(kOutside.shown).arg(peg);
}

QString BiggerOnSmallerMessage(std::int32_t ring, std::int32_t top, std::int32_t peg)
{
    return QString::fromLatin1(kBiggerOnSmaller.shown).arg(ring).arg(top).arg(peg);
}

QString SpokenMessage(const QString &shown)
{
    for (const Message &m : std::array{kNotRunning, kOutside, kBiggerOnSmaller}) {
        // The shown text as a pattern, its numbers taken for the spoken one.
        const QString pattern = QRegularExpression::escape(QLatin1String(m.shown)).replace(QRegularExpression("\\\\?%\\d"), "(\\d+)");
        const QRegularExpressionMatch match = QRegularExpression('^' + pattern + '$').match(shown);
        if (!match.hasMatch())
            continue;
        // The spoken text takes the first of the numbers, as many as it has places for.
        QString spoken = QLatin1String(m.spoken);
        for (qsizetype i = 1, places = spoken.count(QLatin1Char('%')); i <= places; ++i)
            spoken = spoken.arg(match.captured(int(i)));
        return spoken;
    }
    return OneLine(shown);
}

QString OneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}
