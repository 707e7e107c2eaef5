// SPDX-License-Identifier: MIT
// Tick counter over the monotonic clock.
#include "clock.h"

#include <chrono>

namespace {
std::function<std::uint32_t()> g_source; // a test's, or none
} // namespace

std::uint32_t Clock::TickCount()
{
    if (g_source)
        return g_source();
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms); // keeps the low 32 bits: wraps like a tick counter
}

void Clock::setTickSource(std::function<std::uint32_t()> s)
{
    g_source = std::move(s);
}
