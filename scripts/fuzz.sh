#!/usr/bin/env bash
# Runs the fuzzers for as long as asked:
#   scripts/fuzz.sh [seconds] [fuzzer...]   each for that long (60 s by default)
#   scripts/fuzz.sh --night [hours] [fuzzer...]
#                                            the night: the hours (8 by default) shared
#                                            out evenly, one fuzzer after the other
# By default every tests/fuzz/*_fuzz.cpp, so that a new fuzzer is never left out, one
# after the other, in the native build (made first if missing). Each keeps what it learns
# in tests/fuzz/corpus/<name>/ and starts from that and its committed seeds in
# tests/fuzz/seeds/<name>/; a crash is written to tests/fuzz/crashes/<name>/. Neither of
# those two folders is committed. Each fuzzer's inputs per second is printed as it ends,
# and a table of them all at the end. Each fuzzer runs on every core, one worker a core
# (QB_FUZZ_WORKERS sets how many), the workers sharing its corpus folder: libFuzzer reads
# back what the others found every second. A fuzzer that finds something stops there, all
# its workers with it; the others still run. Exits non-zero when any fuzzer found something.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

seconds=60
night=0
if [ "${1:-}" = --night ]; then
  night=1
  shift
  hours=8
  if [[ ${1:-} =~ ^[0-9]+([.][0-9]+)?$ ]]; then
    hours=$1
    shift
  fi
elif [[ ${1:-} =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
fuzzers=("$@")
if [ ${#fuzzers[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzz.cpp; do
    fuzzers+=("$(basename "$source" .cpp)")
  done
fi
if [ "$night" = 1 ]; then
  seconds=$(awk -v h="$hours" -v n="${#fuzzers[@]}" 'BEGIN { printf "%d", h * 3600 / n }')
  echo "== the night: ${hours} h, ${seconds} s for each of ${#fuzzers[@]} fuzzers, started $(date -u +%H:%M) UTC"
fi

workers=${QB_FUZZ_WORKERS:-$(nproc)}
build=${QB_BUILD_DIR:-$top/build}/native
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
fi
cmake --build "$build" --target "${fuzzers[@]}" || exit 1

failed=0
table=()
for name in "${fuzzers[@]}"; do
  corpus=tests/fuzz/corpus/$name
  crashes=tests/fuzz/crashes/$name
  mkdir -p "$corpus" "$crashes"
  dirs=("$corpus")
  [ -d "tests/fuzz/seeds/$name" ] && dirs+=("tests/fuzz/seeds/$name")
  echo "== $name, ${seconds} s, workers: $workers"
  logs=()
  pids=()
  started=$(date +%s.%N)
  for ((w = 0; w < workers; w++)); do
    logs+=("$(mktemp)")
    "$build/tests/fuzz/$name" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$crashes/" "${dirs[@]}" >"${logs[w]}" 2>&1 &
    pids+=($!)
  done
  # The first worker to find something ends the others: its input is the news.
  status=0
  for _ in "${pids[@]}"; do
    wait -n
    code=$?
    if [ "$code" -ne 0 ] && [ "$status" -eq 0 ]; then
      status=$code
      kill "${pids[@]}" 2>/dev/null
    fi
  done
  ended=$(date +%s.%N)
  units=0
  for log in "${logs[@]}"; do
    grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE))|stat::number_of_executed_units|ERROR|invariant broken|SUMMARY|Test unit written' "$log"
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    units=$((units + ${n:-0}))
  done
  rm -f "${logs[@]}"
  # The rate over the whole run, loading the corpus included: what a night gets done.
  rate=$(awk -v n="$units" -v a="$started" -v b="$ended" 'BEGIN { printf "%.0f", n / (b - a) }')
  echo "$name: $units inputs in $(awk -v a="$started" -v b="$ended" 'BEGIN { printf "%.0f", b - a }') s, $rate inputs/s"
  result=clean
  if [ "$status" -ne 0 ]; then
    failed=1
    result="FOUND SOMETHING (exit $status), see $crashes/"
  fi
  table+=("$(printf '%-22s %10s inputs %8s inputs/s  %s' "$name" "$units" "$rate" "$result")")
done
echo "== inputs per second, workers: $workers a fuzzer, on $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%s\n' "${table[@]}"
exit $failed
