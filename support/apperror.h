// SPDX-License-Identifier: MIT
// The one error type the program raises: it carries an error number.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Base of the numbers the program itself uses for its own errors.
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);
// Raised for a bad argument to an array helper (non-array, negative count, bounds outside).
inline constexpr std::int32_t kErrBadArrayArgument = kObjectErrorBase + 1038; // 0x8004040E

// Index outside an array's bounds.
inline constexpr std::int32_t kErrSubscriptOutOfRange = 9;
// A value of the wrong kind (an array expected, or a number).
inline constexpr std::int32_t kErrTypeMismatch = 13;

class AppError : public std::runtime_error
{
public:
    explicit AppError(std::int32_t number, const std::string &what = {});
    // The error number, e.g. kErrBadArrayArgument.
    std::int32_t number() const noexcept { return m_number; }

private:
    std::int32_t m_number;
};
