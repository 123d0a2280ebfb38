#!/usr/bin/env bash
# The board demo's tour end to end, in the Wine session of the test run: the panel firmware
# on the simulated board, on COM5, driven by its keys (scripts/demo-board-tour.txt), with
# what its display showed and what the player was asked; with no fault of the board's
# (what the real parts would not take). QB_BOARD_KEYS, when set, is the shield's ladder;
# QB_PANEL_ELF names the firmware; QB_BOARD_PANEL the panel (i2c-20x4 or i2c-16x2: the
# encoder's tour, scripts/demo-board-tour-encoder.txt, and the pictures in
# docs/panel/<panel>/).
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
panel=${QB_BOARD_PANEL:-shield}

# timeout ends the demo by its id; the demo's trap ends what it started.
out=$(timeout 240 "$top/scripts/demo-run.sh" --board --panel "$panel" --tour 2>&1)
status=$?
failed=0
expect() {  # PATTERN WHAT: a line of the output matches the extended regular expression
  grep -qE -- "$1" <<<"$out" || { echo "missing ($2): $1"; failed=1; }
}
[ "$status" -eq 0 ] || { echo "demo-run.sh --board --panel $panel --tour ended with $status"; failed=1; }
if [ "$panel" = shield ]; then
  expect '^display .*\|>/Aurora Lane   \| /Marisol Vega  \|' "the music folder, folders first"
  expect '^display .*\|>Enqueue folder' "an album's actions"
  expect '^display .*\|.  0:0[1-5]     1/3 \|Intro           \|' "the enqueued album's first song playing, its time running"
  expect '^display .*\|az              \|' "a search text typed with the keys"
  expect '^display .*\|Artist          \|Marisol Vega' "a search result's details"
  pictures=$top/docs/panel
else
  # The encoder alone: every row of the display used (four on a 20x4), the list moved by
  # turns, actions and back by turns with the knob pushed.
  rows='\|[^|]*\|[^|]*\|'
  [ "$panel" = i2c-20x4 ] && rows='\|[^|]*\|[^|]*\|[^|]*\|[^|]*\|'
  expect "^display [0-9.]+ $rows light on\$" "the display's every row, the backlight on"
  expect '^display .*\|>/Aurora Lane +\| /Marisol Vega +\|' "the music folder, folders first"
  expect '^display .*\|>Play folder' "an album's actions, the knob pushed and turned"
  expect '^display .*\|.  0:0[1-5] +1/3 \|Intro +\|' "the album's first song playing, its time running"
  expect '^display .*\|az +\|' "a search text typed with the encoder"
  expect '^display .*\|>Save playlist' "the playlist's actions"
  pictures=$top/docs/panel/$panel
fi
expect '^display .*\|Dump\? Sel=yes +\|Camino Azul' "the dump's question, naming the song"
expect '^display .*\|No link +\|' "the line pulled"
expect '^line .* opened' "the line plugged back"
# The pictures of the panel's screens in docs/panel/, against the snapshots this tour took.
QB_PANEL_PICTURES=$pictures "$top/tests/e2e/panel_pictures_check.sh" <<<"$out" || failed=1
# A board that started with its bootloader only (QB_BOARD_FLASH): avrdude wrote the hex and
# read it back, and the board saw each of its pages change once, none again afterwards.
if [ -n "${QB_BOARD_FLASH:-}" ]; then
  expect '^avrdude: [0-9]+ bytes of flash written' "the firmware written through the bootloader"
  [ "$(grep -cE '^avrdude: [0-9]+ bytes of flash verified' <<<"$out")" -eq 2 ] ||
    { echo "missing: the flash verified after writing and when read back"; failed=1; }
  pages=$(grep -oE 'using [0-9]+ pages' <<<"$out" | head -n 1 | grep -oE '[0-9]+')
  changes=$(grep -cE '^flash .* page [0-9]+ ' <<<"$out")
  changed=$(awk '$1 == "flash" && $3 == "page" { print $4 }' <<<"$out" | sort -u | wc -l)
  [ -n "$pages" ] && [ "$changes" -eq "$pages" ] && [ "$changed" -eq "$pages" ] ||
    { echo "flash: avrdude wrote ${pages:-no} pages, the board saw $changes changes of $changed pages"; failed=1; }
fi
# The player's log: the album enqueued in its order, the result played, the dumped song stopped.
expect $'^host\tmain\t74\t.*path=.*Northern Lights \\(2004\\)\\\\01 - Intro.mp3' "the album's first song enqueued"
expect $'^host\tmain\t74\t.*path=.*Northern Lights \\(2004\\)\\\\03 - Midnight Ferry.mp3' "the album's last song enqueued"
expect $'^host\tmain\t74\t.*path=.*Solana \\(2015\\)\\\\02 - Camino Azul.mp3' "the search result played"
expect $'^host\tmain\t273\t40047\t' "the player stopped before its song was dumped"
expect '^saved playlist Camino Azul-' "the playlist saved"
expect '^dumped 02 - Camino Azul.mp3' "the song moved into the dump folder"
expect '^stats .* overruns 0 ' "no byte lost on the board's line"
expect '^stats .* faults flash 0 overrun 0 display 0 backlight 0 bus 0 eeprom 0 line 0$' "nothing the real parts would not take"
[ "$panel" = shield ] || expect '^stats .* bus-busy [0-9.]+% ' "the display driven over the bus"
# The stack's deepest point within what the 1,400 bytes of static RAM at most leave of the
# 2,048 (board_e2e_test checks the same over its suite; this one holds for either build).
stack=$(grep -oE '^stats .* stack [0-9]+' <<<"$out" | tail -n 1 | grep -oE '[0-9]+$')
if [ -z "$stack" ] || [ "$stack" -gt $((2048 - 1400)) ]; then
  echo "the stack's deepest point, ${stack:-not reported} bytes, is past the 648 left"
  failed=1
fi
for bad in '^timeout ' '^halt ' '^fault '; do
  grep -qE -- "$bad" <<<"$out" && { echo "unexpected: $bad"; failed=1; }
done
grep -E '^stats ' <<<"$out" || true  # the figures, for a verbose run
[ "$failed" -eq 0 ] || printf -- '--- the demo printed:\n%s\n' "$out"
exit "$failed"
