#!/usr/bin/env bash
# Renders the start-up dialog, as a user fills it in on the first run, to
# docs/config-dialog.png: under Xvfb, with the dialog font that fonts-wine provides.
# It runs in a Wine session of its own (build/render), with COM1 to COM3 only: in a
# shared one, a test that finds windows by title could press the dialog's buttons while
# it poses.
#   render-dialog.sh [OUTPUT.png]        (QB_CROSS_DIR: the cross build, default build/win32)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cross=${QB_CROSS_DIR:-$top/build/win32}
out=${1:-$top/docs/config-dialog.png}

if [ ! -f "$cross/build.ninja" ]; then
  cmake -S "$top" -B "$cross" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$cross" --target dialog_shot >/dev/null
tool_dir=$cross/tools/dialog_shot

. "$top/scripts/wine-session.sh"
trap wine_session_end EXIT
QB_MAPPED_PORTS="1 2 3" wine_session_start "$top/build/render"
# The picture shows a machine with COM1 to COM3. Wine also lists this machine's own
# serial ports (/dev/ttyS0 as COM4): they leave the device map for this session (the key
# lives as long as the server, which stays up until the end).
wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' </dev/null 2>/dev/null | tr -d '\r' |
  awk '$2 == "REG_SZ" && $3 !~ /^COM[123]$/ { print $1 }' |
  while read -r device; do
    wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "$device" /f </dev/null >/dev/null 2>&1
  done

rect=$tool_dir/dialog_shot.rect
done_file=$tool_dir/dialog_shot.done
rm -f "$rect" "$done_file"
(cd "$tool_dir" && exec wine dialog_shot.exe </dev/null >/dev/null 2>&1) &
shot=$!
for _ in $(seq 1 300); do
  [ -s "$rect" ] && break
  sleep 0.1
done
if [ ! -s "$rect" ]; then
  touch "$done_file"
  wait "$shot" || true
  echo "the dialog did not appear" >&2
  exit 1
fi
read -r x y w h <"$rect"
mkdir -p "$(dirname "$out")"
import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
touch "$done_file"
wait "$shot" || true
rm -f "$rect" "$done_file"
echo "wrote $out (${w}x${h})"
