#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Hostile starts: a missing or read-only runtime folder. The game still starts,
# says on standard error where it keeps its instance lock instead, and a second
# start in the same place still finds the first.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

runtime=$XDG_RUNTIME_DIR
# Neither can be created nor written, not even by root.
for folder in /proc/1/no-such-folder /proc/1; do
    export XDG_RUNTIME_DIR=$folder
    start_game_window
    first=$GAME_PID first_err=$GAME_ERR
    grep -q "^pegmarch: the folder $folder is .*instance lock in" "$first_err" ||
        { show_stderr "$first_err"; fail "$folder: no word on standard error about the lock's other place"; }

    start_game
    wait_exit "$GAME_PID" 10 || fail "$folder: a second start still runs 10 s later"
    [ "$EXIT_STATUS" -eq 0 ] || fail "$folder: a second start ended with $(status_text "$EXIT_STATUS")"
    [ "$(window_count)" -eq 1 ] || fail "$folder: $(window_count) windows after a second start"
    alive "$first" || fail "$folder: the first game is gone"
    kill_game "$first"
    note "$folder: started, said so, and a second start found the first"
done
export XDG_RUNTIME_DIR=$runtime
