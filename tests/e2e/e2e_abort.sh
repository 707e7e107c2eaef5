#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Abort from the keyboard: Ctrl+F4 ends the game with its text and greys out
# Game > Abort, a second Ctrl+F4 changes nothing, F2 starts again on peg 1.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

white=255,255,255 black=0,0,0 cyan=0,255,255 pink=255,191,191 green=0,255,0

start_game_window
find_board
focus_window "$WIN"

menu_open() { [ -n "$(menu_list)" ]; }
menu_closed() { [ -z "$(menu_list)" ]; }

# menu_shot NAME: opens the Game menu, saves its picture as NAME, closes it.
menu_shot() {
    local menu
    # A click on Game in the menu bar: the same menu each time, whatever the keyboard did before.
    window_geometry "$WIN"
    xdotool mousemove $((WX + 25)) $((WY + (WH - BOARD_H - 10) / 2)) click 1 || fail "cannot click the menu bar"
    poll 5 menu_open || fail "clicking Game opened no menu (for the $1 picture)"
    menu=$(menu_list | head -n1)
    sleep 0.2
    window_geometry "$menu"
    screenshot
    convert "$SHOT.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage -depth 8 "rgb:$E2E_TMP/$1.rgb" ||
        fail "cannot cut the menu from the screenshot"
    MENU_H=$WH
    [ -z "${E2E_DEBUG_DIR:-}" ] || convert "$SHOT.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage "$E2E_DEBUG_DIR/$1.png"
    xdotool key Escape
    poll 5 menu_closed || fail "Escape did not close the menu"
    xdotool mousemove $((BOARD_X + 5)) $((BOARD_Y + 5)) # off the menu bar: no highlighted item
    focus_window "$WIN"
}

menu_shot running
xdotool key ctrl+F4 || fail "xdotool key ctrl+F4 failed"

aborted() {
    expect_peg_dot "peg 1's dot after Abort" 1 $cyan
    expect_peg_dot "peg 2's dot after Abort" 2 $black
}
settle aborted
menu_shot aborted
# Only the Abort item changes, from enabled to greyed out.
changed=$(region_diff running aborted)
[ "$changed" -ge 20 ] || fail "Game > Abort looks the same after Ctrl+F4 ($changed pixels differ)"
rows=$(cmp -l "$E2E_TMP/running.rgb" "$E2E_TMP/aborted.rgb" | awk -v w="$WW" -v h="$MENU_H" '
    { y = int(int(($1 - 1) / 3) / w); if (y < h * 0.28 || y > h * 0.66) outside++ } END { print outside + 0 }')
[ "$rows" -eq 0 ] || fail "Ctrl+F4 changed the Game menu outside its Abort item ($rows bytes)"
note "Abort greyed out after Ctrl+F4 ($changed pixels of its item changed)"

# A second Ctrl+F4: nothing happens, the closing text stays.
xdotool key ctrl+F4 || fail "xdotool key ctrl+F4 failed"
input_handled
settle aborted
menu_shot aborted-again
[ "$(region_diff aborted aborted-again)" -eq 0 ] || fail "the Game menu changed after a second Ctrl+F4"

xdotool key F2 || fail "xdotool key F2 failed"
restarted() {
    expect_peg_band "ring 5 on peg 1 after F2" 1 8 14 $pink
    expect_peg_band "ring 4 on peg 1 after F2" 1 20 24 $green
    expect_peg_dot "peg 2's dot after F2" 2 $cyan
    expect_bpixel "no text after F2" 250 110 $white
}
settle restarted
menu_shot restarted
[ "$(region_diff running restarted)" -eq 0 ] || fail "Game > Abort is not enabled again after F2"
note "a second Ctrl+F4 changed nothing; F2 restarted with the tower on peg 1"
