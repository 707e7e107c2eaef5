// SPDX-License-Identifier: MIT
// Fractions become whole numbers by rounding to the nearest, ties to even.
#pragma once

#include <cmath>
#include <cstdint>

inline std::int32_t RoundEven(double v)
{
    // nearbyint follows the default rounding mode, which is to-nearest, ties-to-even.
    return static_cast<std::int32_t>(std::nearbyint(v));
}
