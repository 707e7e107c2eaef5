// SPDX-License-Identifier: MIT
// The key codes the board reports: the desktop's virtual-key numbers.
#pragma once

#include <cstdint>

namespace KeyCodes {
constexpr std::int16_t Return = 13;
constexpr std::int16_t Escape = 27;
constexpr std::int16_t Space = 32;
constexpr std::int16_t Left = 37;
constexpr std::int16_t Right = 39;
// '0' to '9' on the main row are Digit0 to Digit0 + 9, on the keypad Numpad0 to Numpad0 + 9.
constexpr std::int16_t Digit0 = 48;
constexpr std::int16_t Numpad0 = 96;
} // namespace KeyCodes

// Bits of the Shift argument of key and mouse events.
namespace ShiftBits {
constexpr std::int16_t Shift = 1;
constexpr std::int16_t Ctrl = 2;
constexpr std::int16_t Alt = 4;
} // namespace ShiftBits
