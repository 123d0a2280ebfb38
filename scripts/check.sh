#!/usr/bin/env bash
# The one command: installs what is missing, builds natively and for Windows,
# and runs every test layer (native, Wine, end to end) through ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh

build=${QB_BUILD_DIR:-$top/build}
cmake -S . -B "$build/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/win32"
CC=clang CXX=clang++ cmake -S . -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DQB_CROSS_DIR="$build/win32" >/dev/null
cmake --build "$build/native"

. scripts/wine-session.sh
trap wine_session_end EXIT
wine_session_start "$build/wine"

# The panel tests and the Win32 tests share the ports and the display: ctest runs
# them one at a time (RESOURCE_LOCK), the native tests beside them.
ctest --test-dir "$build/native" --output-on-failure -j 2 "$@"
