// SPDX-License-Identifier: MIT
// The millisecond tick counter: 32 bits, wrapping, behind a seam tests set.
#pragma once

#include <cstdint>
#include <functional>

namespace Clock {
// Milliseconds since an arbitrary start, wrapping after about 49.7 days.
std::uint32_t TickCount();
// Test seam: replaces the source of TickCount (an empty function restores the real clock).
void setTickSource(std::function<std::uint32_t()> source);
} // namespace Clock
