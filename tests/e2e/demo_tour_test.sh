#!/usr/bin/env bash
# The demo's tour end to end, in the Wine session of the test run: scripts/demo-run.sh
# --tour, and what the panel saw. The tour itself is scripts/demo-tour.txt.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)

# timeout ends the demo by its id; the demo's trap ends what it started.
out=$(timeout 200 "$top/scripts/demo-run.sh" --tour 2>&1)
status=$?
failed=0
expect() {  # TEXT WHAT: the output holds TEXT
  grep -qF -- "$1" <<<"$out" || { echo "missing ($2): $1"; failed=1; }
}
[ "$status" -eq 0 ] || { echo "demo-run.sh --tour ended with $status"; failed=1; }
expect $'list folder 6\n  0 \\Aurora Lane' "the music folder listed"
expect $'list search 3\n  0 Boiling Point\n  1 Tin Roof Rain' "a search by artist"
# The clock runs: Intro (6 s) seen at two different times, then the next song playing.
playing=$(grep -cE '^status playing 0:0[1-5] shuffle off pos 0/3 "Intro"' <<<"$out")
[ "$playing" -ge 2 ] || { echo "missing: Intro playing with its elapsed time advancing"; failed=1; }
expect 'status playing 0:00 shuffle off pos 1/3 "Polar Dawn"' "the next song after Intro ended"
expect 'info artist "The Copper Kettles" title "Tin Roof Rain" length 3:52 bitrate 160 year 1998 type ogg' "an info box"
expect 'saved playlist Intro-' "a saved playlist"
expect $'Midnight Ferry.mp3\n  Z:' "the saved playlist's lines"
expect 'Steam and Whistle (1998)\02 - Tin Roof Rain.ogg' "the search result added to the playlist"
expect 'dumped 02 - Camino Azul.mp3' "the dumped song in the dump folder"
for bad in 'no reply' 'refused:' 'timeout:' 'stray'; do
  grep -qF -- "$bad" <<<"$out" && { echo "unexpected: $bad"; failed=1; }
done
[ "$failed" -eq 0 ] || printf -- '--- the demo printed:\n%s\n' "$out"
exit "$failed"
