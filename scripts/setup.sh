#!/usr/bin/env bash
# Installs the Debian packages that building, testing, packaging, benchmarking and fuzzing need.
# Fast when everything is already there: it asks dpkg first and apt only for what is missing.
set -euo pipefail

packages=(
  lld wasi-libc libc++-14-dev-wasm32 libclang-rt-14-dev-wasm32 binaryen nodejs chromium
  cmake ninja-build make g++ python3 zip unzip
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xdotool x11-utils x11-xserver-utils imagemagick openbox desktop-file-utils
  dpkg-dev lintian appstream
  doctest-dev libbenchmark-dev clang libclang-rt-14-dev nlohmann-json3-dev hyperfine bitwise
  libxcb1-dev galculator gnome-calculator
  qt6-base-dev qt6-wayland qt6-gtk-platformtheme weston python3-pyatspi at-spi2-core dbus-daemon
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# Debian's own nodejs comes without npm, the machine's may bring it.
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
