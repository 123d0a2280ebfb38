#!/usr/bin/env bash
# The one command: installs what is missing, builds natively and for Windows,
# and runs every test layer (native, Wine, end to end) through ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh

build=${QB_BUILD_DIR:-$top/build}
. scripts/build-steps.sh
qb_build "$build"

. scripts/wine-session.sh
trap wine_session_end EXIT
wine_session_start "$build/wine"

# The panel tests and the Win32 tests share the ports and the display: ctest runs
# them one at a time (RESOURCE_LOCK), the native tests beside them.
ctest --test-dir "$build/native" --output-on-failure -j 2 "$@"
