#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every way out ends the process with status 0 and takes the window along:
# the window manager's close request, Game > Exit by its access keys and
# Game > Exit clicked with the mouse.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

# expect_clean_end HOW: the game started last ends with status 0 within 5 s,
# its window gone and no error reported on its standard error.
expect_clean_end() {
    wait_exit "$GAME_PID" 5 || fail "$1: the game still runs 5 s later"
    [ "$EXIT_STATUS" -eq 0 ] || { show_stderr "$GAME_ERR"; fail "$1: the game ended with $(status_text "$EXIT_STATUS")"; }
    [ "$(window_count)" -eq 0 ] || fail "$1: a window is still shown after the game ended"
    if grep -q '^pegmarch:' "$GAME_ERR"; then
        show_stderr "$GAME_ERR"
        fail "$1: the game reported an error"
    fi
    note "$1: ended with status 0"
}

# The close button of a window manager: WM_DELETE_WINDOW.
start_game_window
xhelper close "$WIN" || fail "cannot send WM_DELETE_WINDOW to window $WIN"
expect_clean_end "closing the window"

# Alt+G opens the Game menu, x is Exit's access key.
start_game_window
focus_window "$WIN"
xdotool key alt+g || fail "xdotool key alt+g failed"
menu_open() { [ -n "$(menu_list)" ]; }
poll 3 menu_open || fail "Alt+G opened no menu"
xdotool key x || fail "xdotool key x failed"
expect_clean_end "Game > Exit by Alt+G, x"

# The mouse: click Game in the menu bar, then the menu's last item, Exit.
start_game_window
window_geometry "$WIN"
menu_bar_height=$((WH - BOARD_H - 10))
xdotool mousemove $((WX + 25)) $((WY + menu_bar_height / 2)) click 1 || fail "cannot click the menu bar"
poll 3 menu_open || fail "clicking Game opened no menu"
popup=$(menu_list | head -n1)
window_geometry "$popup"
# Menus keep a few pixels of frame below their last item.
xdotool mousemove $((WX + 30)) $((WY + WH - 12)) || fail "cannot move to Exit"
sleep 0.2
xdotool click 1 || fail "cannot click Exit"
expect_clean_end "Game > Exit by mouse"
note "ok"
