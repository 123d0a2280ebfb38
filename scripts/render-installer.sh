#!/usr/bin/env bash
# Renders the installer's two pages that a user sees, the player's folder found and the
# install finished, side by side into docs/installer.png: under Xvfb, in a Wine session of
# its own (build/render-installer, as scripts/render-dialog.sh has its own), with a player
# in the usual folder under Program Files. The emulated player presses Install, as a user
# would (its "click" command).
#   render-installer.sh [OUTPUT.png]   (QB_BUILD_DIR: the build folder, default build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QB_BUILD_DIR:-$top/build}
out=${1:-$top/docs/installer.png}
version=$(head -n 1 "$top/VERSION")
title=

work=$build/render-installer
mkdir -p "$work"
QB_BUILD_DIR=$build QB_DIST_DIR=$work "$top/scripts/release.sh" >/dev/null

. "$top/scripts/wine-session.sh"
clicker=
setup=
finish() {
  [ -n "$setup" ] && kill "$setup" 2>/dev/null && { wait "$setup" 2>/dev/null || true; }
  [ -n "$clicker" ] && kill "$clicker" 2>/dev/null && { wait "$clicker" 2>/dev/null || true; }
  wine_session_end
  rm -f "$work/clicks" "$work"/page-*.png
}
trap finish EXIT
QB_MAPPED_PORTS="1 2 3" wine_session_start "$work"

# A player where the installer looks last: the emulated one, under the player's name.
players="$WINEPREFIX/drive_c/Program Files/Winamp"
rm -rf "$players"
mkdir -p "$players/Plugins"
cp "$build/win32/player/emu_player.exe" "$players/winamp.exe"
wine reg delete 'HKCU\Software\Winamp' /f </dev/null >/dev/null 2>&1 || true

# Waits (bounded) for the installer's window, then draws it into page-$1.png. Its title
# ends in the page's subtitle (a blank when there is none): the window is found by the
# title's start, and its full title kept in $title for the click.
shoot() {
  local window= geometry=
  for _ in $(seq 1 300); do
    window=$(xwininfo -display "$DISPLAY" -root -tree 2>/dev/null | grep -m1 "\"Quillbox $version Setup") || true
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -n "$window" ]; then
    title=$(printf '%s' "$window" | sed 's/^[^"]*"\([^"]*\)".*/\1/')
    geometry=$(xwininfo -display "$DISPLAY" -id "$(printf '%s' "$window" | awk '{print $1}')" |
      awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF}
           END { if (w > 0) print w "x" h "+" x "+" y }')
  fi
  [ -n "$geometry" ] || { echo "the installer's window did not appear" >&2; return 1; }
  sleep 1  # its page drawn
  import -display "$DISPLAY" -window root -crop "$geometry" +repage "$work/page-$1.png"
}

(cd "$work" && exec wine "quillbox-$version-setup.exe" </dev/null >/dev/null 2>&1) &
setup=$!
shoot 1

# The emulated player presses Install (the button with id 1), from its standard input.
rm -f "$work/clicks"
mkfifo "$work/clicks"
(cd "$players" && exec wine winamp.exe <"$work/clicks" >/dev/null 2>&1) &
clicker=$!
exec 7>"$work/clicks"
printf 'click\t%s\t1\n' "$title" >&7
for _ in $(seq 1 200); do
  [ -f "$players/Plugins/Quillbox/INSTALL.txt" ] && [ -f "$players/Plugins/Quillbox/Uninstall Quillbox.exe" ] && break
  sleep 0.1
done
sleep 2  # the finish page
shoot 2
printf 'exit\n' >&7
exec 7>&-

mkdir -p "$(dirname "$out")"
convert "$work/page-1.png" "$work/page-2.png" -background white -splice 16x0 +append -chop 16x0 "$out"
echo "wrote $out"
