// SPDX-License-Identifier: MIT
// Value and ValueArray.
#include "variant.h"

#include "apperror.h"

#include <QStringList>

ValueArray::ValueArray(ElementKind kind) : m_kind(kind) {}
ValueArray::ValueArray(ElementKind kind, std::int32_t lower, std::vector<Value> items)
    : m_kind(kind), m_lower(lower), m_items(std::move(items))
{
}
ValueArray::ValueArray(const ValueArray &) = default;
ValueArray::ValueArray(ValueArray &&) noexcept = default;
ValueArray &ValueArray::operator=(const ValueArray &) = default;
ValueArray &ValueArray::operator=(ValueArray &&) noexcept = default;
ValueArray::~ValueArray() = default;

ValueArray ValueArray::texts(const QStringList &items, std::int32_t lower)
{
    std::vector<Value> values;
    values.reserve(static_cast<std::size_t>(items.size()));
    for (const QString &s : items)
        values.emplace_back(s);
    return ValueArray(ElementKind::Text, lower, std::move(values));
}

const Value &ValueArray::at(std::int32_t index) const
{
    const std::int64_t offset = static_cast<std::int64_t>(index) - m_lower;
    if (offset < 0 || offset >= size())
        throw AppError(kErrSubscriptOutOfRange, "subscript out of range");
    return m_items[static_cast<std::size_t>(offset)];
}

Value &ValueArray::at(std::int32_t index)
{
    return const_cast<Value &>(static_cast<const ValueArray *>(this)->at(index));
}

void ValueArray::erase()
{
    m_items.clear();
    m_lower = 0;
}

void ValueArray::append(Value v)
{
    if (m_items.empty())
        m_lower = 1;
    m_items.push_back(std::move(v));
}

QStringList ValueArray::toTexts() const
{
    QStringList out;
    for (const Value &v : m_items)
        out.append(v.text());
    return out;
}

bool Value::isNumber() const
{
    return std::holds_alternative<std::int16_t>(data) || std::holds_alternative<std::int32_t>(data)
        || std::holds_alternative<std::uint8_t>(data) || std::holds_alternative<bool>(data);
}

const ValueArray &Value::array() const
{
    if (const auto *a = std::get_if<ValueArray>(&data))
        return *a;
    throw AppError(kErrTypeMismatch, "not an array");
}

ValueArray &Value::array()
{
    return const_cast<ValueArray &>(static_cast<const Value *>(this)->array());
}

QString Value::text() const
{
    if (const auto *s = std::get_if<QString>(&data))
        return *s;
    if (isNumber())
        return QString::number(number());
    return QString();
}

double Value::number() const
{
    if (const auto *v = std::get_if<std::int16_t>(&data))
        return *v;
    if (const auto *v = std::get_if<std::int32_t>(&data))
        return *v;
    if (const auto *v = std::get_if<std::uint8_t>(&data))
        return *v;
    if (const auto *v = std::get_if<bool>(&data))
        return *v ? -1 : 0;
    throw AppError(kErrTypeMismatch, "not a number");
}
