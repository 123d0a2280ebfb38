#!/usr/bin/env bash
# The pictures of the panel (docs/panel/) against a run of the board demo's tour, whose
# output comes on standard input: for each picture, the board's snapshot of its step must
# be the line stored beside it, and the picture's pixels what that line draws. A
# snapshot of the tour's without a picture fails too. Run by board_tour_test.sh; after a
# change of the screens, scripts/render-panel.sh draws them again. QB_PANEL_PICTURES names
# the folder (docs/panel for the shield, docs/panel/<panel> for an I2C panel's).
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
picture=${QB_NATIVE_DIR:-$top/build/native}/tools/panel_picture/quillbox-panel-picture
folder=${QB_PANEL_PICTURES:-$top/docs/panel}
out=$(cat)
work=$(mktemp -d "${TMPDIR:-/tmp}/panel-pictures.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
bad() { echo "pictures: $1"; failed=1; }

count=0
for stored in "$folder"/*.txt; do
  [ -e "$stored" ] || break
  name=$(basename "$stored" .txt)
  count=$((count + 1))
  shown=$(awk -v n="$name" '$1 == "snapshot" && $3 == n { sub(/^snapshot [^ ]+ /, ""); print; exit }' <<<"$out")
  if [ -z "$shown" ]; then
    bad "the tour took no snapshot $name"
  elif [ "$shown" != "$(cat "$stored")" ]; then
    bad "$name: the board now shows (scripts/render-panel.sh draws it again)"$'\n'"  $shown"$'\n'"where ${folder#$top/}/$name.txt has"$'\n'"  $(cat "$stored")"
  fi
  # The pixels, whatever the PNG's compression: ImageMagick reads the committed file.
  if ! "$picture" --rgb "$stored" "$work/drawn.rgb" 2>"$work/size" ||
     ! size=$(identify -format '%wx%h' "$folder/$name.png" 2>/dev/null) ||
     [ "$size" != "$(cat "$work/size")" ] ||
     ! convert "$folder/$name.png" -depth 8 "rgb:$work/file.rgb" ||
     ! cmp -s "$work/drawn.rgb" "$work/file.rgb"; then
    bad "${folder#$top/}/$name.png is not what ${folder#$top/}/$name.txt draws"
  fi
done
[ "$count" -gt 0 ] || bad "no pictures in ${folder#$top/}"
while read -r name; do
  [ -f "$folder/$name.txt" ] || bad "the tour's snapshot $name has no picture in ${folder#$top/}"
done < <(awk '$1 == "snapshot" { print $3 }' <<<"$out")
exit "$failed"
