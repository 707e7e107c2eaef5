// SPDX-License-Identifier: MIT
// Ranking table: the least move count of each band and its phrase.
#include "ranking.h"

#include <iterator>

namespace {
struct Band
{
    std::int32_t from;
    const char *phrase;
};

// Sorted by the first count of each band; bounds are inclusive.
constexpr Band kBands[] = {
    {155, "Ingenious"},
    {156, "Nearly perfect"},
    {165, "Excellent"},
    {175, "Good, very good"},
    {190, "You're getting the hang of it"},
    {200, "A lot better"},
    {250, "Still lousy"},
    {300, "Oh well, try again"},
};
} // namespace

QString RankingPhrase(std::int32_t moves)
{
    // Fewer than the least possible moves can only come from a board changed by other means.
    const char *phrase = "Impossible! How did you cheat?!?";
    for (const Band &b : kBands)
        if (moves >= b.from)
            phrase = b.phrase;
    return QString::fromLatin1(phrase);
}
