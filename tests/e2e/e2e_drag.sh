#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Real pointer events: the pink ring is carried from peg 1 to peg 2 and shown
# under the pointer on the way; F2 puts it back; the right button moves nothing.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

white=255,255,255 green=0,255,0 pink=255,191,191

start_game_window
find_board

read -r p1x p1y <<<"$(peg_centre 1)"
read -r p2x p2y <<<"$(peg_centre 2)"
read -r p3x p3y <<<"$(peg_centre 3)"
mid_x=$(((p1x + p2x) / 2)) mid_y=$(((p1y + p2y) / 2))

# The whole tower on peg 1, pink on top, green under it; peg 2 empty.
tower_on_peg_1() {
    expect_peg_band "$1: ring 5 on peg 1" 1 8 14 $pink
    expect_peg_band "$1: ring 4 under ring 5" 1 20 24 $green
    expect_peg_band "$1: nothing on peg 2" 2 8 12 $white
}

# The pink ring centred on the pointer halfway between the pegs, green the top
# of peg 1 meanwhile.
ring_under_pointer() {
    local d
    for d in -12 -8 8 12; do
        expect_bpixel "ring 5 under the pointer" $((mid_x + d)) "$mid_y" $pink
        expect_bpixel "ring 5 under the pointer" "$mid_x" $((mid_y + d)) $pink
    done
    expect_peg_band "ring 4 on top of peg 1 while ring 5 is lifted" 1 8 24 $green
}

ring_on_peg_2() {
    local d
    expect_peg_band "ring 5 dropped on peg 2" 2 8 14 $pink
    # Nothing bigger came along (looked at right of and below peg 2: the
    # triangle's edge runs to its left).
    for d in 20 24; do
        expect_bpixel "ring 5 alone on peg 2" $((p2x + d)) "$p2y" $white
        expect_bpixel "ring 5 alone on peg 2" "$p2x" $((p2y + d)) $white
    done
    expect_peg_band "ring 4 on top of peg 1 after the move" 1 8 24 $green
    for d in -12 -8 8 12; do
        expect_bpixel "nothing left where the pointer carried ring 5" $((mid_x + d)) "$mid_y" $white
    done
}

tower_on_peg_1 "at the start"

# Press on the pink ring, carry it halfway and hold still.
pointer_to "$p1x" "$p1y"
xdotool mousedown 1 || fail "xdotool mousedown failed"
pointer_path "$p1x" "$p1y" "$mid_x" "$mid_y"
settle ring_under_pointer

# Let go 15 px right of peg 2, within its reach: a dropped ring is drawn
# centred on the peg, one still held on the pointer would not be.
pointer_path "$mid_x" "$mid_y" $((p2x + 15)) "$p2y"
xdotool mouseup 1 || fail "xdotool mouseup failed"
settle ring_on_peg_2
note "ring 5 dragged from peg 1 to peg 2"

# F2: a new game, the whole tower back on peg 1.
focus_window "$WIN"
xdotool key F2 || fail "xdotool key F2 failed"
settle tower_on_peg_1 "after F2"
note "F2 put the tower back on peg 1"

# The right button picks nothing up.
drag 3 "$p1x" "$p1y" "$p3x" "$p3y"
input_handled
settle tower_on_peg_1 "after a right-button drag"
expect_peg_band "after a right-button drag: nothing on peg 3" 3 8 12 $white
note "ok: a right-button drag moved nothing"
