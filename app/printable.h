// SPDX-License-Identifier: MIT
// Words that came from outside (another program's error text, an option typed),
// made fit for one line on a terminal.
#pragma once

#include <QString>

// text with its control and format characters escaped (\x1b, \u202e) and cut to
// at most most characters, "..." marking the cut.
QString Printable(const QString &text, qsizetype most = 160);
