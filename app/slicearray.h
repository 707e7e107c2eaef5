// SPDX-License-Identifier: MIT
// A contiguous run of an array's elements, keeping the input's numbering.
#pragma once

#include "support/variant.h"

#include <cstdint>

// Elements Start .. Start + Count - 1 of the array in Values, numbered as in Values.
// Count 0 or an empty input gives an empty array. Throws AppError 0x8004040E for a
// non-array, a negative count, or bounds outside the input.
Value SliceArray(const Value &Values, std::int32_t Start, std::int32_t Count);
