// SPDX-License-Identifier: MIT
// Uniform pseudo-random numbers in [0, 1): never seeded, so every run gives the
// same sequence. Behind a seam tests set.
#pragma once

#include <functional>

namespace Random {
// Next number in [0, 1), single precision.
float Rnd();
// Test seam: replaces the source (an empty function restores the generator).
void setSource(std::function<float()> source);
} // namespace Random
