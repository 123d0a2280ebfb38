#!/usr/bin/env bash
# Runs the fuzzers for as long as asked: scripts/fuzz.sh [seconds] [fuzzer...]
# (60 s each, by default every tests/fuzz/*_fuzz.cpp, so that a new fuzzer is never left
# out of the default run), one after the other, in the native build (made
# first if missing). Each keeps what it learns in tests/fuzz/corpus/<name>/ and starts
# from that and its committed seeds in tests/fuzz/seeds/<name>/; a crash is written to
# tests/fuzz/crashes/<name>/. Neither of those two folders is committed. Exits non-zero
# when any fuzzer found something.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

seconds=60
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
fuzzers=("$@")
if [ ${#fuzzers[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzz.cpp; do
    fuzzers+=("$(basename "$source" .cpp)")
  done
fi

build=${QB_BUILD_DIR:-$top/build}/native
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
fi
cmake --build "$build" --target "${fuzzers[@]}" || exit 1

failed=0
for name in "${fuzzers[@]}"; do
  corpus=tests/fuzz/corpus/$name
  crashes=tests/fuzz/crashes/$name
  mkdir -p "$corpus" "$crashes"
  dirs=("$corpus")
  [ -d "tests/fuzz/seeds/$name" ] && dirs+=("tests/fuzz/seeds/$name")
  echo "== $name, ${seconds} s"
  "$build/tests/fuzz/$name" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "${dirs[@]}" 2>&1 |
    grep -E '^(#[0-9]+ +(INITED|DONE))|stat::number_of_executed_units|ERROR|invariant broken|SUMMARY|Test unit written'
  status=${PIPESTATUS[0]}
  [ "$status" -ne 0 ] && failed=1
done
exit $failed
