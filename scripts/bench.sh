#!/usr/bin/env bash
# Prints the tick figures of the built plug-in (run scripts/check.sh once first).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-session.sh"
trap wine_session_end EXIT
wine_session_start "$top/build/wine"
QB_PLAYER_DIR=$top/build/win32/player "$top/build/native/tools/bench/tick_bench"
