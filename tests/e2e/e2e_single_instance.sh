#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# One game per user: later starts end with status 0 and bring the running
# window to the front; a lock left by a killed game blocks nothing; a crowd of
# simultaneous starts still opens one window.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

# start_many N: N starts at the same moment; their pids in MANY.
start_many() {
    local i
    MANY=()
    for ((i = 0; i < $1; i++)); do
        start_game
        MANY+=("$GAME_PID")
    done
}

# expect_all_end_0 WHAT PID...: each process ends within 10 s with status 0.
expect_all_end_0() {
    local what=$1 pid
    shift
    for pid in "$@"; do
        wait_exit "$pid" 10 || fail "$what: process $pid still runs after 10 s"
        [ "$EXIT_STATUS" -eq 0 ] || fail "$what: process $pid ended with $(status_text "$EXIT_STATUS")"
    done
}

expect_one_window() {
    local n
    n=$(window_count)
    [ "$n" -eq 1 ] || fail "$1: $n visible windows titled \"$TITLE\", expected 1"
}

# --- A second start while the game runs.
start_game_window
first=$GAME_PID
first_win=$WIN
# Another program's window on top of the game, as after switching away.
cover_window "$first_win"
xhelper above "$COVER" "$first_win" || fail "the covering window is not above the game"

start_game
wait_exit "$GAME_PID" 5 || fail "a second start still runs after 5 s"
[ "$EXIT_STATUS" -eq 0 ] || { show_stderr "$GAME_ERR"; fail "a second start ended with $(status_text "$EXIT_STATUS")"; }
expect_one_window "after a second start"
[ "$(window_list)" = "$first_win" ] || fail "the window after a second start is not the first instance's"
alive "$first" || fail "the first instance ended when a second one started"
raised() { xhelper above "$first_win" "$COVER"; }
poll 3 raised || fail "a second start did not bring the running window to the front"
note "a second start ended with status 0 and raised the running window"

# --- Five more at the same moment.
start_many 5
expect_all_end_0 "five simultaneous starts beside a running game" "${MANY[@]}"
expect_one_window "after five simultaneous starts"
alive "$first" || fail "the first instance ended during five simultaneous starts"
note "five simultaneous starts ended with status 0"

# --- A killed game leaves its lock behind; the next start must not mind.
kill_game "$first"
wait_windows 0 5 || fail "the killed instance's window did not go away"
start_game_window
alive "$GAME_PID" || fail "the start after a killed instance did not keep running"
note "a start after SIGKILL of the running game opened a window"

# --- Ten at once with no game running: once over the stale lock of a killed
# game, once where no game ever ran.
ten_at_once() {
    local what=$1 pid owner others=()
    start_many 10
    wait_windows 1 10 || fail "$what: $(window_count) windows instead of 1 within 10 s"
    local wins
    wins=$(window_list)
    [ "$(wc -l <<<"$wins")" -eq 1 ] || fail "$what: windows ${wins//$'\n'/ } shown, expected one"
    owner=$(xdotool getwindowpid "$wins" 2>/dev/null) ||
        fail "$what: window $wins has no process id"
    for pid in "${MANY[@]}"; do
        [ "$pid" = "$owner" ] || others+=("$pid")
    done
    [ "${#others[@]}" -eq 9 ] || fail "$what: the window belongs to $owner, none of the ten starts"
    expect_all_end_0 "$what" "${others[@]}"
    # Nobody opened a second window late.
    sleep 0.5
    expect_one_window "$what, after the other nine ended"
    alive "$owner" || fail "$what: the instance with the window ended"
    OWNER=$owner
}

kill_game "$GAME_PID"
wait_windows 0 5 || fail "the killed instance's window did not go away"
ten_at_once "ten starts over a stale lock"
note "ten starts over a stale lock: one window, nine ended with status 0"

kill_game "$OWNER"
wait_windows 0 5 || fail "the killed instance's window did not go away"
export XDG_RUNTIME_DIR="$E2E_TMP/runtime-fresh"
export TMPDIR="$E2E_TMP/tmp-fresh"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$TMPDIR"
ten_at_once "ten starts where no game ever ran"
note "ok: ten starts where no game ever ran: one window, nine ended with status 0"
