#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installed like any desktop app: cmake --install into an empty prefix gives the
# binary, a valid desktop entry, the icons and valid metainfo under one
# application id, and the installed binary starts the game. So does the copy
# unpacked from the Debian package.
source "$(dirname "$0")/lib.sh" "$@" || exit 1

build=$(dirname "$BIN")
app_id=org.ostrel.Pegmarch
for tool in desktop-file-validate appstreamcli cpack dpkg-deb; do
    command -v "$tool" >/dev/null || fail "missing tool: $tool"
done

prefix="$E2E_TMP/prefix"
cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
    { sed 's/^/  install: /' "$E2E_TMP/install.log" >&2; fail "cmake --install failed"; }
for f in bin/pegmarch "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
    "share/icons/hicolor/16x16/apps/$app_id.png" "share/icons/hicolor/32x32/apps/$app_id.png" \
    "share/icons/hicolor/scalable/apps/$app_id.svg"; do
    [ -s "$prefix/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "the desktop entry is not valid"
grep -qx "Icon=$app_id" "$prefix/share/applications/$app_id.desktop" || fail "the desktop entry names another icon"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >"$E2E_TMP/as.log" 2>&1 ||
    { sed 's/^/  appstream: /' "$E2E_TMP/as.log" >&2; fail "the metainfo is not valid"; }
[ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/16x16/apps/$app_id.png")" = 16x16 ] ||
    fail "the 16x16 icon has another size"

# The installed copy runs, however the build tree moves on.
BIN="$prefix/bin/pegmarch"
start_game_window
kill_game "$GAME_PID"
note "installed into an empty prefix; it starts"

# The Debian package: built, unpacked into an empty folder, started from there.
(cd "$build" && cpack -G DEB -B "$E2E_TMP/package" >"$E2E_TMP/cpack.log" 2>&1) ||
    { sed 's/^/  cpack: /' "$E2E_TMP/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$E2E_TMP"/package/pegmarch_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "cpack made no package"
depends=$(dpkg-deb -f "$deb" Depends)
for need in fonts-liberation libqt6widgets6 libqt6gui6 libc6; do
    grep -q "$need" <<<"$depends" || fail "the package does not depend on $need: $depends"
done
mkdir "$E2E_TMP/unpacked"
dpkg-deb -x "$deb" "$E2E_TMP/unpacked" || fail "dpkg-deb -x failed"
BIN="$E2E_TMP/unpacked/usr/bin/pegmarch"
[ -x "$BIN" ] || fail "the package has no usr/bin/pegmarch"
start_game_window
kill_game "$GAME_PID"
note "the package depends on: $depends; unpacked, it starts"
