// SPDX-License-Identifier: MIT
// When the display platform cannot start: one line that names the real cause.
#pragma once

#include <QString>
#include <QStringList>

// The cause in words, from what Qt said while it started (said) and its last,
// fatal message: a platform plugin that is missing (with those there are), one
// that could not start, or a display that could not be opened.
QString StartupFailure(const QStringList &said, const QString &fatal);
