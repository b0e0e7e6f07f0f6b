#!/usr/bin/env bash
# Game speed is frames a second, never a step of the rules: a script played
# with "option speed 50" traces line for line as it does at 100 %, and the
# test clock runs twice as long (30 frames a second instead of 60).
# Usage: game_speed_test.sh PATH_TO_SNOWREPLAY SCRIPT
set -uo pipefail
runner=$(realpath "$1")
script=$(realpath "$2")
source "$(dirname "$0")/test_lib.sh"
begin_test
cd "$tmp" || exit 1

# The same script without its screenshots (the pictures are another test's).
grep -v '^screenshot' "$script" > full.replay
{ echo "option speed 50"; cat full.replay; } > half.replay

ms_of() { sed -n 's/.* \([0-9]*\) ms on the test clock$/\1/p' "$1"; }
"$runner" full.replay full.csv > full.out 2>&1 || { cat full.out; exit 1; }
"$runner" half.replay half.csv > half.out 2>&1 || { cat half.out; exit 1; }
if ! cmp -s full.csv half.csv; then
  diff full.csv half.csv | head -5
  die "the trace at 50 % differs from the one at 100 %"
fi
full=$(ms_of full.out)
half=$(ms_of half.out)
frames=$(($(wc -l < full.csv) - 1))
echo "$frames frames: $full ms at 100 %, $half ms at 50 %"
# Twice the time, give or take the whole milliseconds each paced frame
# rounds up to.
if [ -z "$full" ] || [ -z "$half" ] ||
   [ $((half - 2 * full)) -gt "$frames" ] || [ $((2 * full - half)) -gt "$frames" ]; then
  die "50 % should take twice the test clock's time of 100 %"
fi
echo "passed"
