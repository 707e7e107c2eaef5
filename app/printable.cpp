// SPDX-License-Identifier: MIT
// Escaping and cutting outside words for the terminal.
#include "printable.h"

#include <QList>

QString Printable(const QString &text, qsizetype most)
{
    QString out;
    qsizetype fits = 0; // how much of out leaves room for the "..." of a cut
    for (const char32_t c : text.toUcs4()) {
        // A terminal takes control characters as commands; format ones can turn the line around.
        if (QChar::isPrint(c))
            out += QChar::fromUcs4(c);
        else
            out += QStringLiteral("\\%1%2").arg(QLatin1Char(c < 0x100 ? 'x' : 'u')).arg(uint(c), c < 0x100 ? 2 : 4, 16, QLatin1Char('0'));
        if (out.size() > most)
            return out.left(fits) + QStringLiteral("...");
        if (out.size() <= most - 3)
            fits = out.size();
    }
    return out;
}
