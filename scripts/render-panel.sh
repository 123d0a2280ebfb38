#!/usr/bin/env bash
# Draws the pictures of the panel's main screens into docs/panel/: runs the board demo's
# tour (scripts/demo.sh --board --tour: the firmware on the simulated board against the
# plug-in under Wine), and for each of the tour's `snapshot NAME` steps stores the
# board's line (the display's memory and the backlight, without its time) as NAME.txt
# and draws it dot by dot as NAME.png. Run it again whenever the screens change;
# e2e's demo.board_tour fails while a picture differs from what its step shows.
#   render-panel.sh [--panel PANEL] [FOLDER]
#     PANEL: shield (default: docs/panel), i2c-20x4 or i2c-16x2 (docs/panel/PANEL, from the
#     encoder's tour); QB_BUILD_DIR: the builds, default build
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QB_BUILD_DIR:-$top/build}
panel=shield
if [ "${1:-}" = --panel ]; then
  panel=${2:?render-panel.sh: --panel takes shield, i2c-20x4 or i2c-16x2}
  shift 2
fi
default=$top/docs/panel
[ "$panel" = shield ] || default=$top/docs/panel/$panel
folder=${1:-$default}
picture=$build/native/tools/panel_picture/quillbox-panel-picture

log=$(mktemp "${TMPDIR:-/tmp}/render-panel.XXXXXX")
trap 'rm -f "$log"' EXIT
echo "Running the board's tour (a few minutes; scripts/demo.sh --board --panel $panel --tour)"
if ! "$top/scripts/demo.sh" --board --panel "$panel" --tour >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "render-panel.sh: the tour failed; no picture changed" >&2
  exit 1
fi
grep -q '^snapshot ' "$log" || { echo "render-panel.sh: the tour took no snapshot" >&2; exit 1; }

mkdir -p "$folder"
rm -f "$folder"/*.txt "$folder"/*.png
while read -r _ _ name rest; do
  printf '%s %s\n' "$name" "$rest" >"$folder/$name.txt"
  "$picture" "$folder/$name.txt" "$folder/$name.png"
  echo "drew $folder/$name.png"
done < <(grep '^snapshot ' "$log")
