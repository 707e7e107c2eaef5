// SPDX-License-Identifier: MIT
// Value types of the support library: a tagged value and an array that carries
// its own index range and can be empty with no bounds at all.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

struct Value;

// What an array holds; kept when the array is emptied or sliced.
enum class ElementKind { Variant, Text, Byte, Long };

// A one-dimensional array with a lower bound. An empty array (never dimensioned or
// erased) has no bounds; an array with elements has lower() .. upper().
class ValueArray
{
public:
    explicit ValueArray(ElementKind kind = ElementKind::Variant);
    ValueArray(ElementKind kind, std::int32_t lower, std::vector<Value> items);
    ValueArray(const ValueArray &);
    ValueArray(ValueArray &&) noexcept;
    ValueArray &operator=(const ValueArray &);
    ValueArray &operator=(ValueArray &&) noexcept;
    ~ValueArray();

    // Shorthand for an array of texts numbered from lower.
    static ValueArray texts(const QStringList &items, std::int32_t lower = 0);

    ElementKind kind() const { return m_kind; }
    bool isEmpty() const;
    std::int32_t size() const;
    // Bounds; only meaningful while the array is not empty.
    std::int32_t lower() const { return m_lower; }
    std::int32_t upper() const { return static_cast<std::int32_t>(std::int64_t{m_lower} + size() - 1); }

    // Element by index in the array's own numbering; throws AppError outside the bounds.
    const Value &at(std::int32_t index) const;
    Value &at(std::int32_t index);

    // Drops every element and the bounds; the element kind stays.
    void erase();
    // Appends one element after the upper bound (numbered from 1 when empty).
    void append(Value v);

    // The elements as texts, in order (non-text elements give empty strings).
    QStringList toTexts() const;

    const std::vector<Value> &items() const { return m_items; }

    bool operator==(const ValueArray &other) const;

private:
    ElementKind m_kind;
    std::int32_t m_lower = 0;
    std::vector<Value> m_items;
};

// Marks a value that holds an error number instead of data.
struct ErrorValue
{
    std::int32_t number = 0;
    bool operator==(const ErrorValue &) const = default;
};

// A value tagged with its kind.
struct Value
{
    using Data = std::variant<std::monostate, std::int16_t, std::int32_t, std::uint8_t, bool,
                              QString, ErrorValue, ValueArray>;
    Data data;

    Value() = default;
    Value(std::int16_t v) : data(v) {}
    Value(std::int32_t v) : data(v) {}
    Value(std::uint8_t v) : data(v) {}
    Value(bool v) : data(v) {}
    Value(const QString &v) : data(v) {}
    Value(const char *v) : data(QString::fromLatin1(v)) {}
    Value(ErrorValue v) : data(v) {}
    Value(const ValueArray &v) : data(v) {}
    Value(ValueArray &&v) : data(std::move(v)) {}

    bool isArray() const { return std::holds_alternative<ValueArray>(data); }
    bool isNumber() const;
    const ValueArray &array() const;
    ValueArray &array();
    QString text() const;
    // The value as a number (numbers and Booleans; true is -1). Throws AppError otherwise.
    double number() const;

    bool operator==(const Value &other) const { return data == other.data; }
};

// Defined here, where Value is complete.
inline bool ValueArray::isEmpty() const
{
    return m_items.empty();
}

inline std::int32_t ValueArray::size() const
{
    return static_cast<std::int32_t>(m_items.size());
}

inline bool ValueArray::operator==(const ValueArray &other) const
{
    return m_kind == other.m_kind && m_items == other.m_items
        && (m_items.empty() || m_lower == other.m_lower);
}
