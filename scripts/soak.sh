#!/usr/bin/env bash
# Soaks the plug-in as built in $QB_BUILD_DIR (default build/; run scripts/check.sh once
# first): the real DLL in the emulated player under Wine, driven as a panel for the given
# number of minutes (default 10) with commands of every letter and broken frames. Prints
# its figures and fails on any broken check. A second argument fixes the random seed.
#   soak.sh --board [minutes] [seed]   the whole system instead: the real firmware on the
#                                      strict simulated board, a person at its keys, the
#                                      cable pulled and the disk filled now and then
#                                      (default 60 minutes; figures every ten; as root,
#                                      for the music folder's small disk)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QB_BUILD_DIR:-$top/build}
soak=soak
default=10
if [ "${1:-}" = --board ]; then
  soak=board_soak
  default=60
  shift
  cmake --build "$build/avr" >/dev/null
fi
minutes=${1:-$default}
cmake --build "$build/win32" >/dev/null
cmake --build "$build/native" --target "$soak" >/dev/null
. "$top/scripts/wine-session.sh"
trap wine_session_end EXIT
wine_session_start "$build/wine"
# Every wait inside is bounded; this bounds the whole run as well.
limit=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 + 300 }')
QB_PLAYER_DIR=$build/win32/player timeout "$limit" "$build/native/tools/soak/$soak" "$minutes" "${@:2}"
