#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installed by cmake --install into an empty prefix, and as the Debian package built
# with its tests from a release tree without git: both complete and valid, the package
# lintian-clean and hardened, its Build-Depends enough.
#   tests/e2e/package.sh CMAKE-BUILD-DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
app=org.ostrel.Pegmarch
tmp=$(mktemp -d "${TMPDIR:-/tmp}/pegmarch-package.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
fail() { echo "package: FAIL: $*" >&2; exit 1; }
# run WHAT COMMAND...: the command's output is shown only if it fails.
run() { local what=$1; shift; "$@" >"$tmp/log" 2>&1 || { sed 's/^/  /' "$tmp/log" >&2; fail "$what"; }; }

# check_tree PREFIX BINDIR MANPAGE INSTALLED-BINARY: what an installation under PREFIX must hold, the
# bus's service starting the binary where it is installed.
check_tree() {
    local f
    for f in "$2/pegmarch" "share/man/man6/$3" "share/applications/$app.desktop" "share/metainfo/$app.metainfo.xml" \
        "share/dbus-1/services/$app.service" \
        "share/icons/hicolor/16x16/apps/$app.png" "share/icons/hicolor/128x128/apps/$app.png" \
        "share/icons/hicolor/scalable/apps/$app.svg" "share/icons/hicolor/symbolic/apps/$app-symbolic.svg"; do
        [ -s "$1/$f" ] || fail "not installed in $1: $f"
    done
    ! readelf -d "$1/$2/pegmarch" | grep -E 'RPATH|RUNPATH' || fail "$1/$2/pegmarch keeps a run path"
    [ "$(cat "$1/share/dbus-1/services/$app.service")" = "$(printf '[D-BUS Service]\nName=%s\nExec=%s' $app "$4")" ] ||
        fail "the bus's service does not start $4: $(cat "$1/share/dbus-1/services/$app.service")"
    run "the desktop entry is not valid" desktop-file-validate "$1/share/applications/$app.desktop"
    run "the metainfo is not valid" appstreamcli validate --no-net "$1/share/metainfo/$app.metainfo.xml"
    run "the metainfo is not valid for software centres" appstream-util validate-relax --nonet "$1/share/metainfo/$app.metainfo.xml"
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$1/share/man/man6/$3" >"$tmp/man.txt" 2>"$tmp/man.err"
    [ ! -s "$tmp/man.err" ] && grep -q '^EXIT STATUS' "$tmp/man.txt" || { cat "$tmp/man.err" >&2; fail "bad manual page"; }
    [ "$("$1/$2/pegmarch" --version)" = "pegmarch 1.3.3" ] || fail "$1/$2/pegmarch does not run"
}

run "cmake --install failed" cmake --install "${1:?usage: package.sh CMAKE-BUILD-DIR}" --prefix "$tmp/prefix"
check_tree "$tmp/prefix" bin pegmarch.6 "$tmp/prefix/bin/pegmarch"

command -v dpkg-buildpackage >/dev/null || { echo "package: SKIP the Debian package: no dpkg-buildpackage"; exit 77; }
# Built from a release tree, without git, as Debian builds it, its tests built and run.
mkdir "$tmp/release" && tar -C "$root" --exclude=./.git --exclude='./build*' -cf - . | tar -xf - -C "$tmp/release"
run "the package did not build" bash "$tmp/release/scripts/build-package.sh" "$tmp/out"

# Every header the build read comes from a package the Build-Depends bring, or build-essential.
read -ra wanted <<<"$(sed -n '/^Build-Depends:/,/^[A-Z]/p' "$root/debian/control" | sed '$d; s/^Build-Depends://' |
    tr ',' '\n' | sed 's/[(<].*//; s/^ *//; s/ *$//' | grep . | tr '\n' ' ')"
apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
    --no-enhances "${wanted[@]}" build-essential | grep -v '^ ' | sed 's/:.*//' | sort -u >"$tmp/brought"
ninja -C "$tmp"/out/package/pegmarch-*/obj-* -t deps | grep '^    /' | sort -u | xargs -r dpkg -S 2>/dev/null |
    sed 's/:.*//; s/, /\n/g' | sort -u >"$tmp/read"
missing=$(comm -23 "$tmp/read" "$tmp/brought")
[ -z "$missing" ] || fail "the build reads files of packages that debian/control's Build-Depends do not bring:" $missing
deb=$(echo "$tmp"/out/pegmarch_*.deb)
! ls -d "$tmp/release"/obj-* "$tmp/release"/debian/{.debhelper,files,pegmarch} 2>/dev/null ||
    fail "the package build left files in the tree"
run "lintian reports errors or warnings" lintian --fail-on error,warning "$tmp"/out/package/*.changes
run "cannot unpack the package" dpkg-deb -x "$deb" "$tmp/deb"
check_tree "$tmp/deb/usr" games pegmarch.6.gz /usr/games/pegmarch
! grep -E '<url|<screenshot' "$tmp/deb/usr/share/metainfo/$app.metainfo.xml" || fail "the metainfo links addresses it was not given"
run "the binary lacks hardening" hardening-check --nocfprotection "$tmp/deb/usr/games/pegmarch"
echo "package: $(basename "$deb") passes lintian; complete, valid, hardened and runs;" \
    "its build read files of $(wc -l <"$tmp/read") packages, all brought by the Build-Depends"
