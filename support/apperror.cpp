// SPDX-License-Identifier: MIT
// The program's error type.
#include "apperror.h"

#include <cstdio>

namespace {
std::string describe(std::int32_t number, const std::string &what)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "error 0x%08X", static_cast<unsigned>(number));
    return what.empty() ? std::string(buf) : std::string(buf) + ": " + what;
}
} // namespace

AppError::AppError(std::int32_t number, const std::string &what)
    : std::runtime_error(describe(number, what)), m_number(number)
{
}
