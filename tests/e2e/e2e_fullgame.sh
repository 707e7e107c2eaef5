#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The whole game with real pointer drags: the least 155 moves carry the tower
# from peg 1 round to peg 6; then the tower stands on peg 6, every peg dot is
# cyan and the closing text is over the board.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

white=255,255,255 cyan=0,255,255
red=255,0,0 orange=255,127,0 yellow=255,255,0 green=0,255,0 pink=255,191,191

start_game_window
find_board
focus_window "$WIN"

play_whole_game
[ "$MOVES" -eq 155 ] || fail "played $MOVES moves, not 155"
input_handled
note "155 drags sent and handled"

# The closing text lies over the tower's lower half: its bands are read above the peg.
above_peg_6() {
    local d
    for ((d = $1; d <= $2; d += 2)); do
        expect_bpixel "$3 ($d px above peg 6)" "$p6x" $((p6y - d)) "$4"
    done
}
read -r p6x p6y <<<"$(peg_centre 6)"

won() {
    above_peg_6 8 14 "ring 5 on top of peg 6" $pink
    above_peg_6 20 24 "ring 4 on peg 6" $green
    above_peg_6 28 32 "ring 3 on peg 6" $yellow
    above_peg_6 36 40 "ring 2 on peg 6" $orange
    above_peg_6 44 48 "ring 1 on peg 6" $red
    local p
    for p in 1 2 3 4 5 6; do
        expect_peg_dot "peg $p's dot after the game" "$p" $cyan
    done
    expect_bpixel "peg 6's dot" "$p6x" "$p6y" $cyan
    for p in 1 2 3; do
        expect_peg_band "peg $p empty" "$p" 8 12 $white
    done
}
settle won

# The closing text: colour over the middle of the board that is neither the
# board's white nor black nor any ring's colour.
count_text() {
    board_region middle 120 90 260 170
    TEXT_PIXELS=$(od -An -v -tu1 -w3 "$E2E_TMP/middle.rgb" | awk -v ring="$red $orange $yellow $green $pink" '
        BEGIN { n = split(ring, r, " "); for (i = 1; i <= n; i++) known[r[i]] = 1; known["255,255,255"] = 1; known["0,0,0"] = 1 }
        { c = $1 "," $2 "," $3; if (!(c in known)) text++ }
        END { print text + 0 }')
    [ "$TEXT_PIXELS" -ge 1000 ]
}
poll 3 count_text || fail "no closing text over the board after the game ($TEXT_PIXELS text pixels)"
note "won: tower on peg 6, all dots cyan, $TEXT_PIXELS pixels of closing text"

# Then a new game, aborted, another one, and the window closed: a clean end
# (under the sanitizers, also no leak).
focus_window "$WIN"
xdotool key F2 ctrl+F4 F2 || fail "xdotool key failed"
input_handled
xhelper close "$WIN" || fail "cannot send WM_DELETE_WINDOW"
wait_exit "$GAME_PID" 10 || fail "the game still runs 10 s after its window was closed"
[ "$EXIT_STATUS" -eq 0 ] || { show_stderr "$GAME_ERR"; fail "the game ended with $(status_text "$EXIT_STATUS")"; }
note "new game, abort, new game, close: status 0"
