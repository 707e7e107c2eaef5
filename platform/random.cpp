// SPDX-License-Identifier: MIT
// The generator behind Random::Rnd: a Mersenne twister with its fixed default state.
#include "random.h"

#include <random>

namespace {
std::function<float()> &source()
{
    static std::function<float()> s;
    return s;
}
} // namespace

float Random::Rnd()
{
    if (auto &s = source())
        return s();
    static std::mt19937 generator; // default state on purpose: the same colours every run
    // 24 bits fit a float exactly, so the result never rounds up to 1.
    return static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f);
}

void Random::setSource(std::function<float()> s)
{
    source() = std::move(s);
}
