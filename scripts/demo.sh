#!/usr/bin/env bash
# The live demo: installs what is missing, builds what changed (as scripts/check.sh
# does), and runs the plug-in in the emulated player under Wine, on a private display,
# with a demo music library, the panel emulator on the other end of COM1.
#   demo.sh           in a terminal: the panel to use (? shows its keys, q quits)
#   demo.sh --tour    a scripted tour, printing what the panel saw (also without a terminal)
#   demo.sh --board [--panel PANEL] [--tour]
#                     the panel firmware on the simulated board (an Uno with its LCD keypad
#                     shield; PANEL i2c-20x4 or i2c-16x2: an I2C display and a rotary
#                     encoder) on COM5 instead: its display, keys and encoder, or its tour
# The builds and the Wine prefix live under build/ ($QB_BUILD_DIR); everything else in a
# temporary folder that is removed at exit, with every process the demo started.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QB_BUILD_DIR:-$top/build}

"$top/scripts/install-deps.sh"
mkdir -p "$build"
echo "Building (a first build takes a few minutes; its output goes to $build/demo-build.log)"
. "$top/scripts/build-steps.sh"
if ! qb_build "$build" >"$build/demo-build.log" 2>&1; then
  tail -n 30 "$build/demo-build.log" >&2
  exit 1
fi

. "$top/scripts/wine-session.sh"
trap wine_session_end EXIT
trap 'exit 130' INT TERM
wine_session_start "$build/demo"
QB_CROSS_DIR=$build/win32 QB_NATIVE_DIR=$build/native QB_AVR_DIR=$build/avr "$top/scripts/demo-run.sh" "$@"
