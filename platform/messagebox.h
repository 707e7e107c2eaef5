// SPDX-License-Identifier: MIT
// The modal warning box (warning icon, one OK button), behind a seam tests set.
#pragma once

#include <QString>

#include <functional>

namespace MessageBox {
// Shows a modal warning with an OK button and returns when it is closed.
void Warning(const QString &title, const QString &text);
// Test seam: replaces the box (an empty function restores the real one).
void setHook(std::function<void(const QString &title, const QString &text)> hook);
} // namespace MessageBox
