#!/usr/bin/env bash
# Runs one Win32 test program under Wine with a null-modem cable between COM1 and COM2.
#   wine-run.sh NULLMODEM PROGRAM.exe [args]
# Needs the session that scripts/check.sh sets up (WINEPREFIX, DISPLAY, QB_PORT_DIR).
set -u
relay_bin=$1
shift
rm -f "$QB_PORT_DIR/com1" "$QB_PORT_DIR/com2"
"$relay_bin" "$QB_PORT_DIR" &
relay=$!
for _ in $(seq 1 100); do
  [ -L "$QB_PORT_DIR/com2" ] && break
  sleep 0.05
done
dir=$(cd "$(dirname "$1")" && pwd) || exit 1
program=$(basename "$1")
shift
cd "$dir" || exit 1
out=$(mktemp)
wine "$program" "$@" </dev/null | tee "$out"
rc=${PIPESTATUS[0]}
# Wine's server kills a process that ends itself once its last thread is gone, and on a
# loaded machine that kill (137) can come before the process's own exit: then the
# program's last line says what it returned.
if [ "$rc" -eq 137 ] && [ "$(tail -n1 "$out" | tr -d '\r')" = "wine-test: exit 0" ]; then
  echo "wine-run: killed by Wine after a clean exit"
  rc=0
fi
rm -f "$out"
kill "$relay" 2>/dev/null
wait "$relay" 2>/dev/null
exit $rc
