# Sourced by check.sh and demo.sh: the build, natively, for Windows and for the panel's
# AVR, in one place. qb_build BUILD_DIR configures and builds BUILD_DIR/win32 (the DLL,
# the emulated player, the Win32 tests), BUILD_DIR/avr (the panel firmware) and
# BUILD_DIR/native (the tests, the panel emulator, the simulated board); a second run
# builds only what changed.

qb_build() {
  local top build
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  build=$(mkdir -p "$1" && cd "$1" && pwd)  # the builds find each other's output by it
  cmake -S "$top" -B "$build/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$build/win32"
  cmake -S "$top/firmware" -B "$build/avr" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/avr-atmega328p.cmake" >/dev/null
  cmake --build "$build/avr"
  CC=clang CXX=clang++ cmake -S "$top" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQB_CROSS_DIR="$build/win32" -DQB_AVR_DIR="$build/avr" >/dev/null
  cmake --build "$build/native"
}
