#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages; skips what is there.
set -euo pipefail

packages=(
  cmake ninja-build clang libclang-rt-14-dev libgtest-dev googletest zip
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth fonts-wine x11-utils imagemagick
  libncurses-dev tmux
  gcc-avr avr-libc binutils-avr libsimavr-dev libsimavrparts1 arduino-core-avr
  xfonts-base pcf2bdf zlib1g-dev avrdude nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
