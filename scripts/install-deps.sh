#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that are missing; installs nothing when everything is
# present. Uses sudo when not run as root.
#   install-deps.sh run   what building and running the game need
#   install-deps.sh       that, and what the tests, the package, the benchmarks and the fuzz target need
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libxcb1-dev
    fonts-liberation
)
[ "${1:-}" = run ] || packages+=(
    qt6-base-private-dev
    xvfb xdotool python3-xlib python3-gi
    dbus-daemon at-spi2-core python3-pyatspi weston qt6-wayland
    orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng pulseaudio pulseaudio-utils libglib2.0-bin libgtk-3-bin
    mutter openbox
    build-essential dpkg-dev debhelper lintian devscripts man-db desktop-file-utils appstream appstream-util
    libbenchmark-dev clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
