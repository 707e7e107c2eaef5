#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The shortcut keys: Ctrl+F4 aborts and the closing text shows over the board,
# F2 clears it, F1 opens the info window and Escape closes it again.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

start_game_window
find_board

# The middle of the board, between the pegs' dots: where the closing text goes.
middle=(125 95 250 70)

board_region start "${middle[@]}"
screenshot_after_frame
board_region start-again "${middle[@]}"
[ "$(region_diff start start-again)" -eq 0 ] || fail "the middle of the board changes with no input"

focus_window "$WIN"
xdotool key ctrl+F4 || fail "xdotool key ctrl+F4 failed"
text_shown() {
    screenshot
    board_region aborted "${middle[@]}"
    [ "$(region_diff start aborted)" -ge 200 ]
}
poll 3 text_shown ||
    fail "Ctrl+F4: the middle of the board shows no text within 3 s ($(region_diff start aborted) pixels changed)"
# An aborted game leaves the stage at its start: peg 1's dot is the cyan one.
read -r p1x p1y <<<"$(peg_centre 1)"
expect_bpixel "peg 1's dot after Ctrl+F4" "$p1x" "$p1y" 0,255,255
note "Ctrl+F4 drew the closing text over the board ($(region_diff start aborted) pixels changed)"

# F2 starts again: the opening board, no text.
focus_window "$WIN"
xdotool key F2 || fail "xdotool key F2 failed"
text_gone() {
    screenshot
    board_region restarted "${middle[@]}"
    [ "$(region_diff start restarted)" -eq 0 ]
}
poll 3 text_gone ||
    fail "F2 after Ctrl+F4: the middle of the board is not the opening picture ($(region_diff start restarted) pixels differ)"
note "F2 cleared the text"

focus_window "$WIN"
xdotool key F1 || fail "xdotool key F1 failed"
wait_windows 2 3 || fail "F1: $(window_count) visible windows titled \"$TITLE\", expected the game's and the info window"
info=$(window_list | grep -vx "$WIN")
[ -n "$info" ] || fail "F1: the game's own window is no longer listed"
note "F1 opened a second window titled \"$TITLE\""

focus_window "$info"
xdotool key Escape || fail "xdotool key Escape failed"
wait_windows 1 3 || fail "Escape: $(window_count) visible windows, expected 1"
[ "$(window_list)" = "$WIN" ] || fail "Escape closed the game's window instead of the info window"
alive "$GAME_PID" || fail "the game ended when its info window closed"
note "ok: Escape closed the info window"
