#!/usr/bin/env bash
# Prints the tick figures of the plug-in as built in $QB_BUILD_DIR (default build/; run
# scripts/check.sh once first). Builds what changed, then runs the benchmark in the
# emulated player under Wine. Pass --short for a quick run of a few ticks each.
#   bench.sh --board [--short] [--panel i2c-20x4]
#                                the panel firmware's figures on the simulated board instead (with
#                                --panel: the I2C panel, driven by its encoder)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QB_BUILD_DIR:-$top/build}
bench=tick_bench
if [ "${1:-}" = --board ]; then
  bench=board_bench
  shift
  cmake --build "$build/avr" >/dev/null
fi
cmake --build "$build/win32" >/dev/null
cmake --build "$build/native" --target "$bench" >/dev/null
. "$top/scripts/wine-session.sh"
trap wine_session_end EXIT
wine_session_start "$build/wine"
# Every wait inside is bounded; this bounds the whole run as well.
QB_PLAYER_DIR=$build/win32/player timeout 900 "$build/native/tools/bench/$bench" "$@"
