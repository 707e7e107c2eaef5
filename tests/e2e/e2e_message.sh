#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A refused move puts its reason over the board in colour, and the message is
# gone again about 4.5 s later. F1 opens the info window with the game's title.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

start_game_window
find_board
focus_window "$WIN"

middle=(150 40 200 200)
board_region clean "${middle[@]}"

# Ring 5 onto peg 4: outside the first triangle.
move 5 4
shown_at=$(date +%s%N)
text_up() { screenshot; board_region now "${middle[@]}"; [ "$(region_diff clean now)" -ge 200 ]; }
poll 3 text_up || fail "no message over the board after a refused move"
note "the refusal is shown ($(region_diff clean now) pixels changed)"

text_gone() { screenshot; board_region now "${middle[@]}"; [ "$(region_diff clean now)" -eq 0 ]; }
poll 10 text_gone || fail "the message is still up 10 s later"
gone_after=$((($(date +%s%N) - shown_at) / 1000000))
# Up for its 4.5 s, give or take a frame and the time the screenshots take
# (each one a second or so on a loaded machine).
[ "$gone_after" -ge 4000 ] && [ "$gone_after" -le 8000 ] ||
    fail "the message was up for $gone_after ms, not about 4500"
note "the message went away after $gone_after ms"
