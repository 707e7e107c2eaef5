# SPDX-License-Identifier: MIT
# Shared by the end-to-end scripts: a private X server, the game started and
# found on it, screenshots read back pixel by pixel. Sourced, never run.
#
#   source "$(dirname "$0")/lib.sh" "$@"     # $1 is the pegmarch binary

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
    echo "$E2E_NAME: FAIL: $*" >&2
    if [ -n "${SHOT:-}" ] && [ -f "$SHOT.png" ]; then
        local keep="${E2E_KEEP_DIR:-/tmp}/$E2E_NAME-failed.png"
        cp "$SHOT.png" "$keep" 2>/dev/null && echo "$E2E_NAME: last screenshot kept in $keep" >&2
    fi
    exit 1
}

# ---------------------------------------------------------------- set-up

[ -n "$BIN" ] || fail "usage: $0 PATH-TO-PEGMARCH"
[ -f "$BIN" ] && [ -x "$BIN" ] || fail "not an executable: $BIN"
BIN=$(cd "$(dirname "$BIN")" && pwd)/$(basename "$BIN")
for tool in Xvfb xdotool xwininfo import convert od awk; do
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

e2e_cleanup() {
    local pid
    for pid in "${GAME_PIDS[@]}"; do
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
    local deadline=$((SECONDS * 1000 + 0)) limit_ms
    limit_ms=$(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')
    shift
    local start
    start=$(date +%s%N)
    while true; do
        "$@" && return 0
        local now
        now=$(date +%s%N)
        [ $(((now - start) / 1000000)) -ge "$limit_ms" ] && return 1
        sleep 0.05
    done
}

start_xvfb() {
    local fdfile="$E2E_TMP/displayfd"
    : >"$fdfile"
    # -displayfd: the server picks a free display number and writes it here.
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$fdfile" \
        >"$E2E_TMP/xvfb.log" 2>&1 </dev/null &
    XVFB_PID=$!
    display_written() { grep -q '^[0-9][0-9]*$' "$fdfile"; }
    if ! poll 10 display_written; then
        sed 's/^/  Xvfb: /' "$E2E_TMP/xvfb.log" >&2
        fail "Xvfb did not start"
    fi
    export DISPLAY=":$(head -n1 "$fdfile")"
    xwininfo -root >/dev/null 2>&1 || fail "cannot talk to Xvfb on $DISPLAY"
    SCREEN_W=$(xwininfo -root | awk '/^ *Width:/ { print $2 }')
}

# ---------------------------------------------------------------- the game

# Starts the binary in the background; its pid is left in GAME_PID, its output
# in $E2E_TMP/game-PID.{out,err}.
start_game() {
    "$BIN" "$@" >"$E2E_TMP/game.out.tmp" 2>"$E2E_TMP/game.err.tmp" </dev/null &
    GAME_PID=$!
    GAME_PIDS+=("$GAME_PID")
    # Rename once the pid is known; the open descriptors follow the files.
    mv "$E2E_TMP/game.out.tmp" "$E2E_TMP/game-$GAME_PID.out"
    mv "$E2E_TMP/game.err.tmp" "$E2E_TMP/game-$GAME_PID.err"
}

game_stderr() { cat "$E2E_TMP/game-$1.err" 2>/dev/null; }

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

# Visible windows titled exactly like the game's, menus and other
# override-redirect pop-ups left out; one id a line.
window_list() {
    local w
    for w in $(xdotool search --onlyvisible --name "$TITLE_RE" 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$TITLE" ] || continue
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: no' || continue
        echo "$w"
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
    start_game "$@"
    local pid=$GAME_PID
    window_or_exit() { [ "$(window_count)" -ge 1 ] || ! alive "$pid"; }
    poll 10 window_or_exit
    if ! alive "$pid"; then
        wait "$pid" 2>/dev/null
        local rc=$?
        game_stderr "$pid" | sed 's/^/  pegmarch: /' >&2
        fail "the game ended with status $rc before showing its window"
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

# pixel X Y: "R,G,B" of the last screenshot at screen point (X, Y).
pixel() {
    od -An -tu1 -j $((($2 * SCREEN_W + $1) * 3)) -N3 "$SHOT.rgb" | awk '{ printf "%d,%d,%d", $1, $2, $3 }'
}

# Board-relative point, fractions allowed, to a screen pixel: bxy X Y -> "x y".
bxy() {
    awk -v x="$1" -v y="$2" -v bx="$BOARD_X" -v by="$BOARD_Y" \
        'BEGIN { printf "%d %d", int(bx + x + 0.5), int(by + y + 0.5) }'
}

# bpixel X Y: the colour at a board-relative point.
bpixel() {
    local p
    p=$(bxy "$1" "$2")
    pixel ${p% *} ${p#* }
}

# Centre of peg P on the board at the opening size: "X Y" (fractions kept).
peg_centre() {
    local fx fy
    case $1 in
    1) fx=2 fy=3 ;; 2) fx=1 fy=5 ;; 3) fx=3 fy=5 ;;
    4) fx=5 fy=5 ;; 5) fx=4 fy=3 ;; 6) fx=3 fy=1 ;;
    *) fail "no peg $1" ;;
    esac
    awk -v fx="$fx" -v fy="$fy" -v w="$BOARD_W" -v h="$BOARD_H" \
        'BEGIN { printf "%.2f %.2f", fx * w / 6, fy * h / 6 }'
}

# expect_bpixel WHAT X Y R,G,B: the board-relative point has exactly that colour.
expect_bpixel() {
    local got
    got=$(bpixel "$2" "$3")
    [ "$got" = "$4" ] || fail "$1: board point ($2, $3) is ($got), expected ($4)"
}

# expect_peg_band WHAT PEG FROM TO R,G,B: points FROM..TO pixels right of, left of,
# above and below the peg's centre all have the colour. Keeps off the
# antialiased edges when FROM..TO lies inside one ring's band.
expect_peg_band() {
    local what=$1 peg=$2 from=$3 to=$4 colour=$5 c cx cy d
    c=$(peg_centre "$peg")
    cx=${c% *} cy=${c#* }
    for d in $(seq "$from" 2 "$to"); do
        expect_bpixel "$what (+$d px right)" "$(awk "BEGIN { print $cx + $d }")" "$cy" "$colour"
        expect_bpixel "$what (+$d px left)" "$(awk "BEGIN { print $cx - $d }")" "$cy" "$colour"
        expect_bpixel "$what (+$d px down)" "$cx" "$(awk "BEGIN { print $cy + $d }")" "$colour"
        expect_bpixel "$what (+$d px up)" "$cx" "$(awk "BEGIN { print $cy - $d }")" "$colour"
    done
}

# Finds the board of window WIN: BOARD_X, BOARD_Y are its top-left corner on
# screen. The board sits 10 px from the inner area's left edge and 10 px above
# its bottom; the menu bar takes the rest of the window's height above it.
# The screenshot must confirm: white board, black base line in its last row,
# the window's own colour below and beside it.
find_board() {
    window_geometry "$WIN"
    BOARD_X=$((WX + 10))
    BOARD_Y=$((WY + WH - 10 - BOARD_H))
    [ "$BOARD_Y" -gt "$WY" ] || fail "window ${WW}x$WH is too low to hold a $BOARD_W x $BOARD_H board below a menu bar"
    screenshot_after_frame
    local x y base margin
    base=$((BOARD_H - 1))
    for x in 20 125 250 375 480; do
        [ "$(bpixel $x $base)" = 0,0,0 ] ||
            fail "no board found: the board's base line at ($x, $base) is ($(bpixel $x $base)), window at ${WX},$WY ${WW}x$WH"
        [ "$(bpixel $x $BOARD_H)" != 255,255,255 ] && [ "$(bpixel $x $BOARD_H)" != 0,0,0 ] ||
            fail "no board found: below the base line at ($x, $BOARD_H) is ($(bpixel $x $BOARD_H))"
    done
    # The left column is white from the top row down to near the base line,
    # and the pixel above the top row is no longer the board.
    for y in 0 40 120 200 300; do
        [ "$(bpixel 1 $y)" = 255,255,255 ] ||
            fail "no board found: board point (1, $y) is ($(bpixel 1 $y)), not white"
    done
    margin=$(bpixel 1 -1)
    [ "$margin" != 255,255,255 ] || fail "the board reaches above the expected top row (board point (1, -1) is white)"
    margin=$(bpixel -1 100)
    [ "$margin" != 255,255,255 ] || fail "the board reaches left of the expected column (board point (-1, 100) is white)"
    margin=$(bpixel $BOARD_W 100)
    [ "$margin" != 255,255,255 ] || fail "the board is wider than $BOARD_W (board point ($BOARD_W, 100) is white)"
}

# ---------------------------------------------------------------- input

# Moves the pointer to a board-relative point.
pointer_to() {
    local p
    p=$(bxy "$1" "$2")
    xdotool mousemove ${p% *} ${p#* } || fail "xdotool mousemove failed"
}

start_xvfb
