// SPDX-License-Identifier: MIT
// The generator behind Random::Rnd: a Mersenne twister with its fixed default state.
#include "random.h"

#include <random>

namespace {
std::function<float()> g_source; // a test's, or none
} // namespace

float Random::Rnd()
{
    if (g_source)
        return g_source();
    static std::mt19937 generator; // default state on purpose: the same colours every run
    // 24 bits fit a float exactly, so the result never rounds up to 1.
    return static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f);
}

void Random::setSource(std::function<float()> s)
{
    g_source = std::move(s);
}
