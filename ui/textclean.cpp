// SPDX-License-Identifier: MIT
// Cleaning of overlay texts.
#include "textclean.h"

QString CleanOverlayText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        const bool printable = c >= 32 && c <= 126;
        const bool crOfPair = c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n';
        const bool lfOfPair = c == u'\n' && i > 0 && text.at(i - 1) == u'\r';
        if (printable || crOfPair || lfOfPair)
            out.append(QChar(c));
    }
    return out;
}
