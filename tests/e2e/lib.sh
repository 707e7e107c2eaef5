# SPDX-License-Identifier: MIT
# Shared by the end-to-end scripts: a private X server, the game started and
# found on it, screenshots read back pixel by pixel. Sourced, never run.
#
#   source "$(dirname "$0")/lib.sh" "$@" || exit 1     # $1: the pegmarch binary
#
# Needs Xvfb, xdotool, x11-utils, ImageMagick and python3-xlib.

# Checks are small functions handed to poll, and the variables set here are
# read by the scripts:
# shellcheck disable=SC2317,SC2034

set -uo pipefail

E2E_NAME=$(basename "$0" .sh)
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BIN=${1:-}
TITLE="Ostrel 'Pegmarch' 1.3.3"
# xdotool matches names as case-insensitive regular expressions; the exact
# comparison happens in window_list.
TITLE_RE="^Ostrel 'Pegmarch' 1\\.3\\.3\$"
# The board at the window's opening size.
BOARD_W=501
BOARD_H=355

note() { echo "$E2E_NAME: $*"; }

fail() {
    [ -z "${E2E_QUIET:-}" ] || exit 1
    echo "$E2E_NAME: FAIL: $*" >&2
    if [ -n "${SHOT:-}" ] && [ -f "$SHOT.png" ]; then
        local keep="${E2E_KEEP_DIR:-/tmp}/$E2E_NAME-failed.png"
        cp "$SHOT.png" "$keep" 2>/dev/null && echo "$E2E_NAME: last screenshot kept in $keep" >&2
    fi
    exit 1
}

# ---------------------------------------------------------------- set-up

[ -n "$BIN" ] || fail "usage: $0 PATH-TO-PEGMARCH"
if [ ! -f "$BIN" ] || [ ! -x "$BIN" ]; then fail "not an executable: $BIN"; fi
BIN=$(cd "$(dirname "$BIN")" && pwd)/$(basename "$BIN")
for tool in Xvfb xdotool xwininfo xprop import convert od awk; do
    command -v "$tool" >/dev/null || fail "missing tool: $tool (scripts/install-deps.sh installs it)"
done

# The original TMPDIR is where a failing screenshot is kept.
E2E_KEEP_DIR=${TMPDIR:-/tmp}
E2E_TMP=$(mktemp -d "$E2E_KEEP_DIR/pegmarch-e2e.XXXXXX") || fail "cannot create a temporary folder"
# A private runtime folder, so that no test sees another one's instance lock;
# TMPDIR too, the lock's fallback place.
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
export TMPDIR="$E2E_TMP/tmp"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$TMPDIR"
# Nothing from the caller's desktop may steer the game elsewhere or rescale it.
unset WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
    QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_STYLE_OVERRIDE

XVFB_PID=
GAME_PIDS=()
HELPER_PIDS=()

e2e_cleanup() {
    local pid
    for pid in "${GAME_PIDS[@]}" "${HELPER_PIDS[@]}"; do
        kill -KILL "$pid" 2>/dev/null
    done
    if [ -n "$XVFB_PID" ]; then
        kill -TERM "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM HUP

# Polls a command until it succeeds: poll SECONDS COMMAND...
poll() {
    local poll_limit poll_start
    poll_limit=$(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')
    shift
    poll_start=$(date +%s%N)
    while true; do
        "$@" && return 0
        [ $((($(date +%s%N) - poll_start) / 1000000)) -ge "$poll_limit" ] && return 1
        sleep 0.05
    done
}

start_xvfb() {
    local fdfile="$E2E_TMP/displayfd"
    : >"$fdfile"
    # -displayfd: the server picks a free display number and writes it here.
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "${E2E_SCREEN:-1024x768}x24" 3>"$fdfile" \
        >"$E2E_TMP/xvfb.log" 2>&1 </dev/null &
    XVFB_PID=$!
    display_written() { grep -q '^[0-9][0-9]*$' "$fdfile"; }
    if ! poll 10 display_written; then
        sed 's/^/  Xvfb: /' "$E2E_TMP/xvfb.log" >&2
        fail "Xvfb did not start"
    fi
    DISPLAY=":$(head -n1 "$fdfile")"
    export DISPLAY
    xwininfo -root >/dev/null 2>&1 || fail "cannot talk to Xvfb on $DISPLAY"
    SCREEN_W=$(xwininfo -root | awk '/^ *Width:/ { print $2 }')
}

# ---------------------------------------------------------------- the game

GAME_SEQ=0

# Starts the binary in the background: its pid in GAME_PID, the file that
# collects its standard error in GAME_ERR.
start_game() {
    GAME_SEQ=$((GAME_SEQ + 1))
    GAME_ERR="$E2E_TMP/game-$GAME_SEQ.err"
    "$BIN" >"$E2E_TMP/game-$GAME_SEQ.out" 2>"$GAME_ERR" </dev/null &
    GAME_PID=$!
    GAME_PIDS+=("$GAME_PID")
}

# Shows a game's standard error, indented, on ours.
show_stderr() { sed 's/^/  pegmarch: /' "$1" >&2 2>/dev/null; }

alive() {
    kill -0 "$1" 2>/dev/null || return 1
    # A child that has ended but is not yet reaped is not running.
    [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" != Z ]
}

# wait_exit PID SECONDS: waits for the process to end; its status in EXIT_STATUS.
wait_exit() {
    local pid=$1 seconds=$2
    not_alive() { ! alive "$pid"; }
    if ! poll "$seconds" not_alive; then
        EXIT_STATUS=
        return 1
    fi
    wait "$pid" 2>/dev/null
    EXIT_STATUS=$?
    return 0
}

# status_text STATUS: "status N", and the signal when one ended the process.
status_text() {
    if [ "$1" -gt 128 ]; then
        echo "status $1 (signal $(kill -l "$(($1 - 128))" 2>/dev/null || echo $(($1 - 128))))"
    else
        echo "status $1"
    fi
}

# Kills a game with SIGKILL and waits until it is gone; bash's "Killed" notice
# is kept off the output.
kill_game() {
    {
        kill -KILL "$1"
        wait_exit "$1" 5
    } 2>/dev/null || fail "process $1 survived SIGKILL"
}

# visible_windows NAME-PATTERN: ids of the visible windows whose name matches.
# xdotool gives up when a window vanishes while it searches (as when other
# instances end at that moment): search again then.
visible_windows() {
    local try out
    for ((try = 0; try < 20; try++)); do
        out=$(xdotool search --onlyvisible --name "$1" 2>"$E2E_TMP/search.err")
        if ! grep -q 'X Error' "$E2E_TMP/search.err"; then
            [ -z "$out" ] || echo "$out"
            return 0
        fi
        sleep 0.02
    done
    fail "xdotool search keeps failing: $(head -n1 "$E2E_TMP/search.err")"
}

# Visible windows titled exactly like the game's, one id a line. Menus and
# other override-redirect pop-ups are left out: no window manager sees them.
window_list() {
    local w
    for w in $(visible_windows "$TITLE_RE"); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$TITLE" ] || continue
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: no' || continue
        echo "$w"
    done
}

# Open menus (drop-down and pop-up), one id a line.
menu_list() {
    local w
    # Qt marks a menu as a menu when it first opens; shown again it may carry
    # another type, but a menu is always an override-redirect window.
    for w in $(visible_windows ''); do
        if xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -Eq '_NET_WM_WINDOW_TYPE_(DROPDOWN|POPUP)_MENU' ||
            xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
            echo "$w"
        fi
    done
}

window_count() { window_list | wc -l; }

# Waits until exactly N such windows are visible: wait_windows N SECONDS
wait_windows() {
    local n=$1
    count_is() { [ "$(window_count)" -eq "$n" ]; }
    poll "$2" count_is
}

# Starts the game and waits for its window: GAME_PID and WIN are set.
start_game_window() {
    start_game
    local pid=$GAME_PID
    window_or_exit() { [ "$(window_count)" -ge 1 ] || ! alive "$pid"; }
    poll 10 window_or_exit
    if ! alive "$pid"; then
        wait "$pid" 2>/dev/null
        local rc=$?
        show_stderr "$GAME_ERR"
        fail "the game ended with $(status_text "$rc") before showing its window"
    fi
    [ "$(window_count)" -eq 1 ] ||
        fail "no single visible window titled \"$TITLE\" within 10 s (found $(window_count))"
    WIN=$(window_list | head -n1)
}

# Reads a window's geometry into WX WY WW WH.
window_geometry() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || fail "window $1 is gone"
    WX=$(awk '/Absolute upper-left X:/ { print $4 }' <<<"$info")
    WY=$(awk '/Absolute upper-left Y:/ { print $4 }' <<<"$info")
    WW=$(awk '/^ *Width:/ { print $2 }' <<<"$info")
    WH=$(awk '/^ *Height:/ { print $2 }' <<<"$info")
}

# Gives the window the keyboard focus, as a window manager does on a click.
focus_window() {
    xdotool windowfocus --sync "$1" 2>/dev/null || fail "cannot focus window $1"
}

# Sets XLIB_PYTHON to a Python that has python3-xlib.
find_xlib_python() {
    [ -z "${XLIB_PYTHON:-}" ] || return 0
    local py
    for py in python3 /usr/bin/python3; do
        if command -v "$py" >/dev/null && "$py" -c 'import Xlib' 2>/dev/null; then
            XLIB_PYTHON=$py
            return 0
        fi
    done
    fail "no python3 with the Xlib module (python3-xlib)"
}

# Runs tests/e2e/xhelper.py.
xhelper() {
    find_xlib_python
    "$XLIB_PYTHON" "$E2E_DIR/xhelper.py" "$@"
}

# Maps a plain window over the game's window and gives it the focus, as
# another program would: COVER is its id.
cover_window() {
    window_geometry "$1"
    find_xlib_python
    # Python itself is the background job, so that its pid is the one to end.
    "$XLIB_PYTHON" "$E2E_DIR/xhelper.py" cover "$WX" "$WY" "$WW" "$WH" >"$E2E_TMP/cover.out" 2>&1 &
    HELPER_PIDS+=($!)
    cover_ready() { grep -q '^0x' "$E2E_TMP/cover.out"; }
    poll 5 cover_ready || fail "cannot map a covering window: $(cat "$E2E_TMP/cover.out")"
    COVER=$(head -n1 "$E2E_TMP/cover.out")
}

# ---------------------------------------------------------------- pixels

SHOT=

# Takes a screenshot of the whole screen; pixel reads go to it.
screenshot() {
    SHOT="$E2E_TMP/shot"
    import -window root "$SHOT.png" 2>/dev/null || fail "screenshot failed"
    convert "$SHOT.png" -depth 8 "rgb:$SHOT.rgb" || fail "cannot read the screenshot back"
}

# Screenshot taken after the next redraws (the board is drawn every 100 ms).
screenshot_after_frame() {
    sleep 0.3
    screenshot
}

# settle CHECK [ARGS...]: takes screenshots until the check passes on one,
# for up to 3 s; then runs it once more to report what is wrong. The check
# uses the expect_ helpers.
settle() {
    local start
    start=$(date +%s%N)
    while true; do
        screenshot
        (E2E_QUIET=1 && "$@") && return 0
        [ $((($(date +%s%N) - start) / 1000000)) -lt 3000 ] || break
        sleep 0.1
    done
    "$@"
}

# pixel X Y: PIXEL is "R,G,B" of the last screenshot at screen point (X, Y).
pixel() {
    local r g b bytes
    bytes=$(od -An -tu1 -j $((($2 * SCREEN_W + $1) * 3)) -N3 "$SHOT.rgb")
    read -r r g b <<<"$bytes"
    PIXEL="$r,$g,$b"
}

# board_region NAME X Y W H: saves a board-relative rectangle of the last
# screenshot as raw RGB in $E2E_TMP/NAME.rgb.
board_region() {
    convert "$SHOT.png" -crop "$4x$5+$((BOARD_X + $2))+$((BOARD_Y + $3))" +repage -depth 8 \
        "rgb:$E2E_TMP/$1.rgb" || fail "cannot cut a region from the screenshot"
}

# region_diff A B: how many pixels differ between two saved regions.
region_diff() {
    cmp -l "$E2E_TMP/$1.rgb" "$E2E_TMP/$2.rgb" 2>/dev/null |
        awk '{ p[int(($1 - 1) / 3)] = 1 } END { print length(p) }'
}

# bpixel X Y: PIXEL is the colour at a board-relative point.
bpixel() { pixel $((BOARD_X + $1)) $((BOARD_Y + $2)); }

# Centre of peg P on the board at the opening size, as the board pixel that
# holds it: "X Y". Pegs stand at sixths of the board's width and height.
peg_centre() {
    local fx fy
    case $1 in
    1) fx=2 fy=3 ;; 2) fx=1 fy=5 ;; 3) fx=3 fy=5 ;;
    4) fx=5 fy=5 ;; 5) fx=4 fy=3 ;; 6) fx=3 fy=1 ;;
    *) fail "no peg $1" ;;
    esac
    echo "$((fx * BOARD_W / 6)) $((fy * BOARD_H / 6))"
}

# expect_bpixel WHAT X Y R,G,B: the board point has exactly that colour.
expect_bpixel() {
    bpixel "$2" "$3"
    [ "$PIXEL" = "$4" ] || fail "$1: board point ($2, $3) is ($PIXEL), expected ($4)"
}

# expect_peg_band WHAT PEG FROM TO R,G,B: points FROM..TO pixels right of, left of,
# above and below the peg's centre all have the colour. Keeps off the
# antialiased edges when FROM..TO lies inside one ring's band.
expect_peg_band() {
    local what=$1 peg=$2 from=$3 to=$4 colour=$5 c cx cy d
    c=$(peg_centre "$peg")
    cx=${c% *} cy=${c#* }
    for ((d = from; d <= to; d += 2)); do
        expect_bpixel "$what (+$d px right)" $((cx + d)) "$cy" "$colour"
        expect_bpixel "$what (+$d px left)" $((cx - d)) "$cy" "$colour"
        expect_bpixel "$what (+$d px down)" "$cx" $((cy + d)) "$colour"
        expect_bpixel "$what (+$d px up)" "$cx" $((cy - d)) "$colour"
    done
}

# expect_peg_dot WHAT PEG R,G,B: the dot of radius 5 on the peg has the colour,
# at its centre and 2 px to each side.
expect_peg_dot() {
    local c cx cy d
    c=$(peg_centre "$2")
    cx=${c% *} cy=${c#* }
    expect_bpixel "$1" "$cx" "$cy" "$3"
    for d in -2 2; do
        expect_bpixel "$1" $((cx + d)) "$cy" "$3"
        expect_bpixel "$1" "$cx" $((cy + d)) "$3"
    done
}

# Checks the last screenshot for the board at BOARD_X, BOARD_Y: white inside,
# the black base line in its last row, the window's own colour around it.
# Leaves what is wrong in BOARD_PROBLEM.
board_seen() {
    local x y c base=$((BOARD_H - 1))
    BOARD_PROBLEM=
    for x in 20 125 250 375 480; do
        bpixel $x $base; c=$PIXEL
        [ "$c" = 0,0,0 ] || { BOARD_PROBLEM="the base line at board point ($x, $base) is ($c), not black"; return 1; }
        bpixel $x $BOARD_H; c=$PIXEL
        if [ "$c" = 255,255,255 ] || [ "$c" = 0,0,0 ]; then
            BOARD_PROBLEM="below the base line, board point ($x, $BOARD_H) is ($c), not the window's colour"
            return 1
        fi
    done
    for y in 0 40 120 200 300; do
        bpixel 1 $y; c=$PIXEL
        [ "$c" = 255,255,255 ] || { BOARD_PROBLEM="board point (1, $y) is ($c), not white"; return 1; }
    done
    bpixel 1 -1; c=$PIXEL
    [ "$c" != 255,255,255 ] || { BOARD_PROBLEM="the board reaches above its expected top row"; return 1; }
    bpixel -1 100; c=$PIXEL
    [ "$c" != 255,255,255 ] || { BOARD_PROBLEM="the board reaches left of its expected first column"; return 1; }
    bpixel $BOARD_W 100; c=$PIXEL
    [ "$c" != 255,255,255 ] || { BOARD_PROBLEM="the board is wider than $BOARD_W"; return 1; }
}

# Finds the board of window WIN: BOARD_X, BOARD_Y are its top-left corner on
# screen. The board sits 10 px from the inner area's left edge and 10 px above
# its bottom; the menu bar takes the window's height above the inner area.
# Waits up to 5 s for a screenshot that shows it there.
find_board() {
    window_geometry "$WIN"
    BOARD_X=$((WX + 10))
    BOARD_Y=$((WY + WH - 10 - BOARD_H))
    [ "$BOARD_Y" -gt "$WY" ] ||
        fail "window ${WW}x$WH is too low to hold a ${BOARD_W}x$BOARD_H board below a menu bar"
    shot_shows_board() { screenshot && board_seen; }
    poll 5 shot_shows_board ||
        fail "no ${BOARD_W}x$BOARD_H board at $BOARD_X,$BOARD_Y in window ${WX},$WY ${WW}x$WH: $BOARD_PROBLEM"
}

# ---------------------------------------------------------------- input

# Moves the pointer to a board-relative point.
pointer_to() {
    xdotool mousemove $((BOARD_X + $1)) $((BOARD_Y + $2)) || fail "xdotool mousemove failed"
}

# pointer_path X0 Y0 X1 Y1: moves the pointer from one board point to another
# in eight steps, as a hand would.
pointer_path() {
    local i
    for ((i = 1; i <= 8; i++)); do
        pointer_to $(($1 + ($3 - $1) * i / 8)) $(($2 + ($4 - $2) * i / 8))
        sleep 0.02
    done
}

# Returns once the game has handled every input sent before: the info window
# that F1 opens comes after them in the game's queue. Escape closes it again.
input_handled() {
    local info
    focus_window "$WIN"
    xdotool key F1 || fail "xdotool key F1 failed"
    wait_windows 2 5 || fail "F1 opened no info window within 5 s"
    info=$(window_list | grep -vx "$WIN")
    focus_window "$info"
    xdotool key Escape || fail "xdotool key Escape failed"
    wait_windows 1 5 || fail "Escape did not close the info window within 5 s"
}

# drag BUTTON X0 Y0 X1 Y1: press at one board point, move, release at the other.
drag() {
    pointer_to "$2" "$3"
    xdotool mousedown "$1" || fail "xdotool mousedown failed"
    pointer_path "$2" "$3" "$4" "$5"
    xdotool mouseup "$1" || fail "xdotool mouseup failed"
}

# ---------------------------------------------------------------- playing

# Where each ring stands (ring 1 the biggest), to know where each drag starts.
RING_ON=(0 1 1 1 1 1)
MOVES=0

# move RING PEG: press on the ring's peg, carry it over and let go on PEG, in
# one xdotool call: the game takes the events in the order they were sent.
move() {
    local from to fx fy tx ty
    from=$(peg_centre "${RING_ON[$1]}") to=$(peg_centre "$2")
    fx=$((BOARD_X + ${from% *})) fy=$((BOARD_Y + ${from#* }))
    tx=$((BOARD_X + ${to% *})) ty=$((BOARD_Y + ${to#* }))
    xdotool mousemove "$fx" "$fy" mousedown 1 \
        mousemove $(((fx + tx) / 2)) $(((fy + ty) / 2)) mousemove "$tx" "$ty" mouseup 1 ||
        fail "xdotool failed on move $((MOVES + 1))"
    RING_ON[$1]=$2
    MOVES=$((MOVES + 1))
}

# tower N FROM TO VIA: the least moves carrying the N smallest rings.
tower() {
    [ "$1" -gt 0 ] || return 0
    tower $(($1 - 1)) "$2" "$4" "$3"
    move $((6 - $1)) "$3"
    tower $(($1 - 1)) "$4" "$3" "$2"
}

# play_whole_game: the least 155 moves, each transfer within its triangle:
# 1-2 over 3, 2-3 over 1, 3-4 over 5, 4-5 over 3, 5-6 over 1.
play_whole_game() {
    RING_ON=(0 1 1 1 1 1)
    MOVES=0
    tower 5 1 2 3
    tower 5 2 3 1
    tower 5 3 4 5
    tower 5 4 5 3
    tower 5 5 6 1
}

start_xvfb
