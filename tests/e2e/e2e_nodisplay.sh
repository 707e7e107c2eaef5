#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Without a display to show on, the game says so in one line and ends with
# status 1: no abort, no core dump, nothing left behind that blocks the next start.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

# expect_refusal WHAT ENV-ARGS...: the binary, run under env with ENV-ARGS,
# ends within 10 s with status 1 and one line on standard error about the display.
expect_refusal() {
    local what=$1 rc lines
    shift
    env "$@" timeout -s KILL 10 "$BIN" >"$E2E_TMP/refusal.out" 2>"$E2E_TMP/refusal.err" </dev/null
    rc=$?
    [ "$rc" -ne 137 ] || fail "$what: still running after 10 s"
    if [ "$rc" -ne 1 ]; then
        show_stderr "$E2E_TMP/refusal.err"
        fail "$what: $(status_text "$rc"), expected status 1"
    fi
    lines=$(wc -l <"$E2E_TMP/refusal.err")
    if [ "$lines" -ne 1 ] || [ -n "$(tail -c1 "$E2E_TMP/refusal.err")" ]; then
        show_stderr "$E2E_TMP/refusal.err"
        fail "$what: $lines complete lines on standard error, expected exactly one"
    fi
    grep -qi 'display' "$E2E_TMP/refusal.err" ||
        fail "$what: the message does not mention the display: $(cat "$E2E_TMP/refusal.err")"
    [ ! -s "$E2E_TMP/refusal.out" ] || fail "$what: wrote to standard output: $(head -n3 "$E2E_TMP/refusal.out")"
    note "$what: status 1, \"$(cat "$E2E_TMP/refusal.err")\""
}

expect_refusal "no display at all" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
expect_refusal "an empty DISPLAY" -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=

# A display number with no server behind it.
nothing_on() {
    [ ! -e "/tmp/.X11-unix/X$1" ] && [ ! -e "/tmp/.X$1-lock" ] && ! xwininfo -root -display ":$1" >/dev/null 2>&1
}
dead=75
while ! nothing_on $dead; do
    dead=$((dead + 1))
    [ $dead -lt 200 ] || fail "no unused display number between 75 and 199"
done
expect_refusal "DISPLAY=:$dead with no server" -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=":$dead"

# The refused starts left no instance lock: the next start opens its window.
start_game_window
note "ok: a start with a display still opens the window"
