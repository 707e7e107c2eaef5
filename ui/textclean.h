// SPDX-License-Identifier: MIT
// Cleaning of texts shown over the board.
#pragma once

#include <QString>

// Keeps printable characters (codes 32 to 126) and CR LF pairs; drops everything
// else: tabs, lone CR or LF, other control characters, anything above 126.
QString CleanOverlayText(const QString &text);
