#!/usr/bin/env bash
# Makes dist/quillbox-<version>.zip: the DLL from the cross build, the install note, the
# protocol reference, the panel firmware from the AVR build with its note, the firmware's
# Arduino sketch (quillbox_panel/, opened and uploaded from the Arduino IDE), and the
# licence, in a folder quillbox-<version>/. Beside it dist/quillbox-<version>-setup.exe,
# the Windows installer of the same files (installer/quillbox.nsi, built with makensis).
# The version is the one in VERSION, which the DLL's version resource, the installer's
# and the firmware's file name carry too.
#
#   QB_BUILD_DIR  the build folder, as for scripts/check.sh (default: build)
#   QB_CROSS_DIR  the cross build itself (default: $QB_BUILD_DIR/win32)
#   QB_AVR_DIR    the firmware's build (default: $QB_BUILD_DIR/avr)
#   QB_DIST_DIR   where the zip goes (default: dist)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh

version=$(head -n 1 VERSION)
build=${QB_BUILD_DIR:-$top/build}
cross=${QB_CROSS_DIR:-$build/win32}
avr=${QB_AVR_DIR:-$build/avr}
dist=${QB_DIST_DIR:-$top/dist}
name=quillbox-$version

if [ ! -f "$cross/build.ninja" ]; then
  cmake -S . -B "$cross" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$cross" --target ml_quillbox >/dev/null
if [ ! -f "$avr/build.ninja" ]; then
  cmake -S firmware -B "$avr" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/avr-atmega328p.cmake" >/dev/null
fi
cmake --build "$avr" >/dev/null

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$cross/player/Plugins/ml_quillbox.dll" "$stage/$name/"
cp docs/install.txt "$stage/$name/INSTALL.txt"
cp docs/protocol.md LICENSE "$stage/$name/"
cp "$avr/quillbox-panel.hex" "$stage/$name/quillbox-panel-$version.hex"
cp docs/panel.txt "$stage/$name/PANEL.txt"
cp -R firmware/quillbox_panel "$stage/$name/"

mkdir -p "$dist"
zip="$(cd "$dist" && pwd)/$name.zip"
rm -f "$zip"
(cd "$stage" && zip -q -X -r "$zip" "$name")
echo "$zip"

setup="$(cd "$dist" && pwd)/$name-setup.exe"
rm -f "$setup"
installer/file-list.sh "$stage/$name" >"$stage/file_list.nsh"
(cd "$stage/$name" && makensis -V2 -NOCD -DVERSION="$version" -DFILE_LIST="$stage/file_list.nsh" \
  -DOUTFILE="$setup" "$top/installer/quillbox.nsi" >/dev/null)
echo "$setup"
