#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The window as the X server sees it: its exact title, its width, and the
# opening board in a screenshot.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

start_game_window

# The title as stored on the window, both the classic and the UTF-8 property.
for prop in WM_NAME _NET_WM_NAME; do
    line=$(xprop -id "$WIN" "$prop" 2>/dev/null) || fail "cannot read $prop of window $WIN"
    value=${line#*= }
    [ "$value" = "\"$TITLE\"" ] || fail "$prop is $value, expected \"$TITLE\""
done

window_geometry "$WIN"
[ "$WW" -eq 521 ] || fail "the window is $WW px wide, expected an inner width of 521"
find_board

white=255,255,255 black=0,0,0 cyan=0,255,255
red=255,0,0 orange=255,127,0 yellow=255,255,0 green=0,255,0 pink=255,191,191

# The first transfer's target, peg 2, is the one cyan dot.
expect_peg_dot "peg 2's dot" 2 $cyan
for p in 1 3 4 5 6; do
    expect_peg_dot "peg $p's dot" $p $black
done

# All five rings on peg 1, biggest at the bottom: concentric bands of 8 px
# around the dot, each sampled off its antialiased edges.
expect_peg_band "ring 5 (pink)" 1 8 14 $pink
expect_peg_band "ring 4 (green)" 1 20 24 $green
expect_peg_band "ring 3 (yellow)" 1 28 32 $yellow
expect_peg_band "ring 2 (orange)" 1 36 40 $orange
expect_peg_band "ring 1 (red)" 1 44 48 $red

# No ring anywhere else: the other pegs stand on white (lines pass 17 px away).
for p in 2 3 4 5 6; do
    expect_peg_band "around peg $p" $p 8 12 $white
done
# Open board, inside and outside the outline.
for pt in 250,120 420,250 60,150 440,60 30,300 250,330; do
    expect_bpixel "the open board" "${pt%,*}" "${pt#*,}" $white
done

note "ok: title, width and the opening board"
