#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Writes the README's pictures from the real game in a private X server:
# docs/screenshot-start.png, docs/screenshot-refusal.png, docs/screenshot-won.png.
#   scripts/screenshots.sh PATH-TO-PEGMARCH
out=$(cd "$(dirname "$0")/.." && pwd)/docs
source "$(dirname "$0")/../tests/e2e/lib.sh" "$@" || exit 1
mkdir -p "$out"

# window_shot NAME: the game's window as it is now, after the next frames.
window_shot() {
    sleep 0.4
    window_geometry "$WIN"
    screenshot
    convert "$SHOT.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage "$out/$1.png" || fail "cannot write $out/$1.png"
    note "wrote docs/$1.png"
}

start_game_window
find_board
focus_window "$WIN"
xdotool mousemove 0 0
window_shot screenshot-start

# A game under way, then a bigger ring dropped on a smaller one.
move 5 2
move 4 3
move 5 3
move 3 2
move 5 1
move 3 3
xdotool mousemove 0 0
window_shot screenshot-refusal

xdotool key F2
play_whole_game
xdotool mousemove 0 0
input_handled
window_shot screenshot-won
