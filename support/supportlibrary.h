// SPDX-License-Identifier: MIT
// The support library: array and text utilities and the info dialog, one
// process-wide instance created on first use.
#pragma once

#include "variant.h"

#include <QIcon>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class SupportLibrary
{
public:
    // The one instance, created on first use and kept until the process ends.
    static SupportLibrary &instance();

    // True when the array has no elements (never dimensioned or erased).
    bool IsArrayEmpty(const ValueArray &values) const;
    // One text per line of text, numbered from 0; the two extra texts are unused.
    ValueArray SplitText(const QString &text, const QString &delimiter, const QString &unused1 = {},
                         const QString &unused2 = {}) const;
    // The larger / smaller of the two numbers in pair(0), pair(1).
    Value MaxValue(std::array<Value, 2> &pair) const;
    Value MinValue(std::array<Value, 2> &pair) const;
    // A short description of the library.
    QString LibraryText() const;
    // Shows title, icon, notice and the lines (texts) in a modal dialog.
    void ShowInfoDialog(const QString &title, const QIcon &icon, const QString &notice,
                        ValueArray &lines);
    // One byte per character in the single-byte code page, numbered from 0.
    ValueArray TextToBytes(const QString &text, std::int32_t option = 1) const;
    // The same elements renumbered from newLower.
    Value RebaseArray(const ValueArray &values, std::int32_t newLower) const;
    // Number of elements, 0 for an empty array. The option is unused.
    std::int32_t CountElements(const ValueArray &values, std::int32_t &option) const;

    // Test seam: replaces the modal info dialog (nullptr restores the real one).
    using InfoDialogHook = std::function<void(const QString &title, const QIcon &icon,
                                              const QString &notice, const QStringList &lines)>;
    void setInfoDialogHook(InfoDialogHook hook) { m_infoHook = std::move(hook); }

private:
    SupportLibrary() = default;
    InfoDialogHook m_infoHook;
};
