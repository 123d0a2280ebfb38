#!/usr/bin/env bash
# The demo inside a Wine session (DISPLAY, WINEPREFIX and QB_PORT_DIR set, as
# scripts/wine-session.sh leaves them; scripts/demo.sh makes one): a demo music library in
# a temporary folder, the emulated player with the built plug-in, configured to start by
# itself, and the panel emulator on COM1.
#   demo-run.sh [--tour]   in a terminal the interactive panel; otherwise, or with --tour,
#                          the scripted tour (scripts/demo-tour.txt), printing what the
#                          panel saw, then the saved playlists and the dump folder
#   demo-run.sh --board [--panel PANEL] [--tour]
#                          the panel firmware on the simulated board instead, on COM5 as a
#                          PC numbers a USB board: its display and keys in the terminal, or
#                          its tour (scripts/demo-board-tour.txt), printing every display
#                          change, then what the player was asked, the saved playlists and
#                          the dump folder. PANEL is the board's: shield (the default),
#                          i2c-20x4 or i2c-16x2, an I2C display driven by the encoder alone
#                          (its tour: scripts/demo-board-tour-encoder.txt)
#   QB_BOARD_FLASH=HEX demo-run.sh --board --tour
#                          the board with its bootloader only: avrdude writes HEX (the
#                          release's quillbox-panel-<version>.hex) through its line as
#                          docs/panel.txt says and reads it back, then the tour runs on it
# QB_CROSS_DIR, QB_NATIVE_DIR and QB_AVR_DIR name the builds (default build/win32,
# build/native and build/avr); QB_BOARD_KEYS the board's key ladder (its --keys);
# QB_PANEL_ELF another firmware for the board (such as scripts/arduino-build.sh's).
# Everything it makes lies under one temporary folder, removed at exit with every process
# it started.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cross=${QB_CROSS_DIR:-$top/build/win32}
native=${QB_NATIVE_DIR:-$top/build/native}
panel_bin=$native/tools/panel/quillbox-panel
board_bin=$native/tools/board/quillbox-board
firmware=${QB_PANEL_ELF:-${QB_AVR_DIR:-$top/build/avr}/quillbox-panel.elf}

mode=interactive
panel=emulator
board_panel=shield
[ -t 0 ] && [ -t 1 ] || mode=tour
while [ $# -gt 0 ]; do
  case $1 in
    --tour) mode=tour ;;
    --board) panel=board ;;
    --panel) board_panel=${2:-}; shift ;;
    --panel=*) board_panel=${1#--panel=} ;;
    *) echo "usage: demo-run.sh [--board [--panel shield|i2c-20x4|i2c-16x2]] [--tour]" >&2; exit 2 ;;
  esac
  shift
done
case $board_panel in
  shield) tour=$top/scripts/demo-board-tour.txt ;;
  i2c-20x4 | i2c-16x2) tour=$top/scripts/demo-board-tour-encoder.txt ;;
  *) echo "demo-run.sh: --panel is shield, i2c-20x4 or i2c-16x2" >&2; exit 2 ;;
esac
board_options=(--panel "$board_panel")
port=1
needed=("$panel_bin")
if [ "$panel" = board ]; then
  port=5
  needed=("$board_bin" "$firmware")
fi
for var in DISPLAY WINEPREFIX QB_PORT_DIR; do
  [ -n "${!var:-}" ] || { echo "demo-run.sh: $var is not set; scripts/demo.sh runs this in a Wine session" >&2; exit 2; }
done
for file in "$cross/player/emu_player.exe" "$cross/player/Plugins/ml_quillbox.dll" "${needed[@]}"; do
  [ -f "$file" ] || { echo "demo-run.sh: $file is missing; scripts/demo.sh builds it" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillbox-demo.XXXXXX")
# A 16x2 on the bus is told its size in the setup first (scripts/demo-board-setup-16x2.txt).
if [ "$board_panel" = i2c-16x2 ]; then
  cat "$top/scripts/demo-board-setup-16x2.txt" "$tour" >"$work/demo-board-tour-16x2.txt"
  tour=$work/demo-board-tour-16x2.txt
fi
music=$work/Music
player=$work/player
link=$QB_PORT_DIR/com$port
player_pid='' panel_pid=''

stop_pid() {  # PID: asks nothing, waits a little, then kills it by its id
  local pid=$1 i
  for i in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  set +e
  if [ -n "$panel_pid" ]; then kill "$panel_pid" 2>/dev/null; wait "$panel_pid" 2>/dev/null; fi
  [ "$mode" = interactive ] && stty sane 2>/dev/null
  if [ -n "$player_pid" ]; then
    printf 'exit\n' >&3 2>/dev/null
    exec 3>&-
    stop_pid "$player_pid"
  fi
  [ -L "$link" ] && [ ! -e "$link" ] && rm -f "$link"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }

# The music folder: every song of the table as a small file, an .m3u beside the artists,
# a file of a type the player does not play, and the two working folders.
make_library() {
  local rel title artist year bitrate seconds
  mkdir -p "$music/QB_Playlists" "$music/QB_Dumped"
  : >"$work/library.tsv"
  while IFS=$'\t' read -r rel title artist year bitrate seconds; do
    case $rel in ''|'#'*) continue ;; esac
    mkdir -p "$music/$(dirname "$rel")"
    printf 'demo song: %s by %s\n' "$title" "$artist" >"$music/$rel"
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$(winpath "$music/$rel")" "$title" "$artist" "$year" "$bitrate" "$seconds" \
      >>"$work/library.tsv"
  done <"$top/scripts/demo-library.tsv"
  printf '%s\r\n' "$(winpath "$music/Aurora Lane/Harbour Songs (2009)/01 - Salt and Rope.mp3")" \
    "$(winpath "$music/Marisol Vega/Solana (2015)/01 - Luz de Agosto.mp3")" >"$music/Road Trip.m3u"
  printf 'not a song\n' >"$music/Marisol Vega/Solana (2015)/cover.jpg"
}

# The player's folder, installed and configured: the start-up dialog counts down and
# starts by itself.
install_player() {
  local m
  m=$(winpath "$music/")
  mkdir -p "$player/Plugins"
  cp "$cross/player/emu_player.exe" "$player/"
  cp "$cross/player/Plugins/ml_quillbox.dll" "$player/Plugins/"
  printf '[Winamp]\r\nconfig_extlist=MP3:OGG:FLAC:WAV:M3U\r\n' >"$player/winamp.ini"
  printf '[Quillbox]\r\nComPort=%s\r\nLibDir=%s\r\nPlSaveDir=%sQB_Playlists\\\r\nDumpDir=%sQB_Dumped\\\r\n' \
    "$port" "$m" "$m" "$m" >"$player/Plugins/plugin.ini"
}

send() { local IFS=$'\t'; printf '%s\n' "$*" >&3; }

# Waits (bounded) for a line of the player's that starts with PREFIX; prints it.
await() {
  local prefix=$1 seconds=$2 i found
  for i in $(seq 1 $((seconds * 10))); do
    found=$(awk -v p="$prefix" 'index($0, p) == 1 { print; exit }' "$work/player.log")
    [ -n "$found" ] && { printf '%s\n' "$found"; return 0; }
    kill -0 "$player_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}

start_player() {
  mkfifo "$work/player.in"
  (cd "$player" && exec wine emu_player.exe <"$work/player.in" >"$work/player.log" 2>&1) &
  player_pid=$!
  exec 3>"$work/player.in"
  # The board's tour reports what the player was asked, from its log of host messages.
  if [ "$panel" = board ]; then send log 1; else send log 0; fi
  send ini "$(winpath "$player/winamp.ini")"
  send library-file "$(winpath "$work/library.tsv")"
  send clock 1
  send load
  await $'ok\tlibrary-file' 30 >/dev/null || fail "the emulated player did not take the library"
  await $'ok\tclock' 10 >/dev/null && await 'loaded' 10 >/dev/null || fail "the emulated player did not start"
}

fail() {
  if [ -n "$panel_pid" ]; then kill "$panel_pid" 2>/dev/null; wait "$panel_pid" 2>/dev/null; panel_pid=''; fi
  [ "$mode" = interactive ] && stty sane 2>/dev/null && clear
  echo "demo: $1" >&2
  [ -f "$work/player.log" ] && tail -n 5 "$work/player.log" >&2
  exit 1
}

# avrdude on the board's line, as docs/panel.txt has it, with OPTIONS; its output (progress
# bars ending in carriage returns) kept apart until it ends, so as not to break the board's
# lines, which go on meanwhile.
avrdude_run() {  # LOG OPTIONS...
  local log=$1 status=0
  shift
  timeout 60 avrdude -p atmega328p -c arduino -P "$link" -b 115200 "$@" >"$log" 2>&1 || status=$?
  cat "$log"
  return "$status"
}

# The board as a fresh Uno has it, the bootloader only: avrdude writes the hex through the
# board's line with the command docs/panel.txt gives (the port opening resets the board
# into the bootloader), then reads it back; the tour goes to the board's standard input
# once that is done, and runs on what was written.
flash_board() {
  local hex=$work/quillbox-panel-$(cat "$top/VERSION").hex i
  cp "$1" "$hex"
  echo "== the board with its bootloader only, flashed as docs/panel.txt says, then its tour"
  mkfifo "$work/board.in"
  "$board_bin" --firmware "$firmware" --blank --pty "$link" --timeout 20 "${board_options[@]}" <"$work/board.in" &
  panel_pid=$!
  exec 5>"$work/board.in"
  for i in $(seq 1 100); do
    [ -e "$link" ] && [ "$(readlink "$link")" != "$before" ] && break
    sleep 0.1
  done
  avrdude_run "$work/write.log" -D -U "flash:w:$hex:i" || fail "avrdude did not write the firmware"
  avrdude_run "$work/verify.log" -U "flash:v:$hex:i" || fail "avrdude did not read back what it wrote"
  cat "$tour" >&5
  exec 5>&-
}

# The plug-in opens COM1 when its dialog has counted down: the panel's pty must be there.
start_plugin() {
  local i
  for i in $(seq 1 100); do
    [ -e "$link" ] && [ "$(readlink "$link")" != "$1" ] && break
    kill -0 "$panel_pid" 2>/dev/null || fail "the panel did not start"
    sleep 0.1
  done
  send init
  local answer
  answer=$(await 'init' 30) || fail "the plug-in did not start"
  [ "$answer" = $'init\t0' ] || fail "the plug-in did not start: $answer"
}

# What the panel's user left behind: the saved playlists and the dump folder.
report() {
  local f
  if [ "$panel" = board ]; then
    echo "== what the player was asked (its log): songs added, buttons pressed"
    awk -F'\t' '$1 == "host" && ($3 == 74 || $3 == 273) { print }' "$work/player.log"
  fi
  echo "== saved playlists (QB_Playlists)"
  for f in "$music"/QB_Playlists/*.m3u; do
    [ -e "$f" ] || continue
    echo "saved playlist ${f##*/}:"
    tr -d '\000\r' <"$f" | sed 's/^/  /'
  done
  echo "== dump folder (QB_Dumped)"
  for f in "$music"/QB_Dumped/*; do [ -e "$f" ] && echo "dumped ${f##*/}"; done
  return 0
}

make_library
install_player
start_player
before=$(readlink "$link" 2>/dev/null || true)
exec 4<&0
if [ -n "${QB_BOARD_FLASH:-}" ]; then
  [ "$panel" = board ] && [ "$mode" = tour ] || { echo "demo-run.sh: QB_BOARD_FLASH goes with --board --tour" >&2; exit 2; }
  flash_board "$QB_BOARD_FLASH"
elif [ "$panel" = board ] && [ "$mode" = tour ]; then
  echo "== the board's tour (scripts/${tour##*/}, $board_panel): every change of its display"
  "$board_bin" --firmware "$firmware" --pty "$link" --script "$tour" --timeout 20 "${board_options[@]}" \
    ${QB_BOARD_KEYS:+--keys "$QB_BOARD_KEYS"} <&4 &
elif [ "$panel" = board ]; then
  echo "Starting the player; the plug-in starts after its 4-second countdown (q quits)."
  "$board_bin" --firmware "$firmware" --pty "$link" "${board_options[@]}" ${QB_BOARD_KEYS:+--keys "$QB_BOARD_KEYS"} <&4 &
elif [ "$mode" = tour ]; then
  echo "== the tour (scripts/demo-tour.txt): the panel's commands and what it saw"
  "$panel_bin" --pty "$link" --script "$top/scripts/demo-tour.txt" --timeout 20 <&4 &
else
  echo "Starting the player; the plug-in starts after its 4-second countdown."
  "$panel_bin" --pty "$link" <&4 &
fi
panel_pid=$!
start_plugin "$before"
status=0
wait "$panel_pid" || status=$?
panel_pid=''
report
exit "$status"
