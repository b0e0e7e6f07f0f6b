#!/usr/bin/env bash
# Builds the fuzz targets (clang 14 with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and fuzzes each in turn, one at a time on one
# core (FUZZ_JOBS=N runs N at a time), then prints per target the
# executions, the coverage reached and the findings.
#
#   tools/fuzz.sh [SECONDS [TARGET...]]
#
# SECONDS per target (default 60); TARGET names as in fuzz/corpus/ (default
# all).  The build goes to $FUZZ_BUILD (default build-fuzz/).  A run stops at
# a finding and goes on with a fresh run for the time left.  Findings
# (crash-*, timeout-*, oom-*, leak-*) land in BUILD/findings/TARGET/; once
# mended, copy each into fuzz/corpus/TARGET/, where the test suite runs it
# forever after.  What the fuzzer learns stays in BUILD/fuzz-work/TARGET/.
#
# Cost bounds: no input may allocate 64 MiB at once; an input under 1 KiB
# may not hold more than 64 MiB in all or take more than 100 ms of processor
# time (fuzz/fuzz_support.h).  libFuzzer's own limit of 10 s goes by the
# clock, which other programs on the machine stretch: it catches hangs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD:-$root/build-fuzz}
"$root/tools/install-deps.sh" --fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for folder in "$root"/fuzz/corpus/*/; do targets+=("$(basename "$folder")"); done
fi

cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNOWBELTER_FUZZ=ON -DSNOWBELTER_SANITIZE=ON \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}" >/dev/null

# Fuzzes one target for the given seconds, starting again after each finding
# (at most 20 times); the log of every run is appended to BUILD/fuzz-logs/.
fuzz_target() {
  local target=$1 work="$build/fuzz-work/$1" findings="$build/findings/$1/"
  local log="$build/fuzz-logs/$1.log" dict=() left=$seconds runs=0 started
  mkdir -p "$work" "$findings" "$build/fuzz-logs"
  : >"$log"
  [ -f "$root/fuzz/dict/$target.dict" ] && dict=(-dict="$root/fuzz/dict/$target.dict")
  while [ "$left" -gt 0 ] && [ $runs -lt 20 ]; do
    started=$SECONDS
    SNOW_FUZZ_SLOW_MS=100 "$build/fuzz/fuzz_$target" -max_total_time="$left" -timeout=10 \
      -malloc_limit_mb=64 -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1 \
      -artifact_prefix="$findings" "${dict[@]}" "$work" "$root/fuzz/corpus/$target" \
      >>"$log" 2>&1 || true
    left=$((left - (SECONDS - started) - 1))
    runs=$((runs + 1))
  done
}

# One line of the table: executions summed over the runs, the last coverage
# figure, and the findings in the target's findings folder.
report_target() {
  local target=$1 log="$build/fuzz-logs/$1.log"
  local executions coverage findings
  executions=$(awk '/^stat::number_of_executed_units/ {n += $2} END {print n + 0}' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  findings=$(find "$build/findings/$target" -type f | wc -l)
  printf '%-12s %12s %10s %9s\n' "$target" "$executions" "${coverage:-0}" "$findings"
}

jobs=${FUZZ_JOBS:-1}
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  echo "fuzzing $target for ${seconds}s"
  fuzz_target "$target" &
done
wait
printf '%-12s %12s %10s %9s\n' target executions coverage findings
for target in "${targets[@]}"; do report_target "$target"; done
