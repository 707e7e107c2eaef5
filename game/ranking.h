// SPDX-License-Identifier: MIT
// The ranking phrase for the number of moves of a won game.
#pragma once

#include <QString>

#include <cstdint>

// Five transfers of 31 moves each.
inline constexpr std::int32_t kLeastMoves = 155;

QString RankingPhrase(std::int32_t moves);
