// SPDX-License-Identifier: MIT
// The support library's operations.
#include "supportlibrary.h"

#include "apperror.h"
#include "infodialog.h"

#include <QStringList>

SupportLibrary &SupportLibrary::instance()
{
    static SupportLibrary *library = new SupportLibrary; // lives until the process ends
    return *library;
}

bool SupportLibrary::IsArrayEmpty(const ValueArray &values) const
{
    return values.isEmpty();
}

ValueArray SupportLibrary::SplitText(const QString &text, const QString &delimiter, const QString &,
                                     const QString &) const
{
    if (delimiter.isEmpty())
        return ValueArray::texts({text}, 0);
    return ValueArray::texts(text.split(delimiter), 0);
}

namespace {
Value pick(std::array<Value, 2> &pair, bool larger)
{
    const double a = pair[0].number();
    const double b = pair[1].number();
    return (larger ? a >= b : a <= b) ? pair[0] : pair[1];
}
} // namespace

Value SupportLibrary::MaxValue(std::array<Value, 2> &pair) const
{
    return pick(pair, true);
}

Value SupportLibrary::MinValue(std::array<Value, 2> &pair) const
{
    return pick(pair, false);
}

QString SupportLibrary::LibraryText() const
{
    return QStringLiteral("Pegmarch support library: arrays, texts and the info dialog");
}

void SupportLibrary::ShowInfoDialog(const QString &title, const QIcon &icon, const QString &notice,
                                    ValueArray &lines)
{
    const QStringList texts = lines.toTexts();
    if (m_infoHook) {
        m_infoHook(title, icon, notice, texts);
        return;
    }
    InfoDialog dialog(title, icon, notice, texts);
    dialog.exec();
}

ValueArray SupportLibrary::TextToBytes(const QString &text, std::int32_t) const
{
    const QByteArray bytes = text.toLatin1(); // characters outside Latin-1 become '?'
    std::vector<Value> items;
    items.reserve(static_cast<std::size_t>(bytes.size()));
    for (char c : bytes)
        items.emplace_back(static_cast<std::uint8_t>(c));
    return ValueArray(ElementKind::Byte, 0, std::move(items));
}

Value SupportLibrary::RebaseArray(const ValueArray &values, std::int32_t newLower) const
{
    if (values.isEmpty())
        return Value(ValueArray(values.kind()));
    if (static_cast<std::int64_t>(newLower) + values.size() - 1 > INT32_MAX)
        throw AppError(kErrSubscriptOutOfRange, "new bounds out of range");
    return Value(ValueArray(values.kind(), newLower, values.items()));
}

std::int32_t SupportLibrary::CountElements(const ValueArray &values, std::int32_t &) const
{
    return values.size();
}
