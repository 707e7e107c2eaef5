#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package in a copy of the working tree, so that debhelper's
# files never appear in the checkout, and leaves the .deb in the output folder.
#   scripts/build-package.sh [OUT]      OUT defaults to build/
# The copy, the .changes and the .buildinfo stay in OUT/package/. JOBS sets how
# many jobs the build runs; DEB_BUILD_OPTIONS passes through (nocheck, ...).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
work=$out/package
src=$work/pegmarch-$version
rm -rf "$work"
mkdir -p "$src"

cd "$root"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    # What git tracks or would track, as it is now: edits and new files included.
    git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null --files-from=- -cf - | tar -xf - -C "$src"
else
    # A release tree: all of it but what builds leave in it.
    tar --exclude=./.git --exclude='./build*' --exclude="./${out#"$root"/}" -cf - . | tar -xf - -C "$src"
fi

cd "$src"
dpkg-buildpackage -us -uc -b ${JOBS:+-j"$JOBS"}
cp "$work/pegmarch_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb" "$out/"
