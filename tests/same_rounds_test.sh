#!/usr/bin/env bash
# The replay runner's --same-rounds: the first 3,320 frames of win.replay's
# route, Escape out of the round, and the same keys again from the menu,
# with win.replay's own checks both times.  The second round's puddings
# start from other random pictures, so without the option Santa is hit where
# the first round was not; with it, each story starts from what the first
# one started from, and the second round plays as the first.
# Usage: same_rounds_test.sh PATH_TO_SNOWREPLAY PATH_TO_WIN_REPLAY
set -uo pipefail
runner=$(realpath "$1")
win=$(realpath "$2")
shift_replay="$(cd "$(dirname "$0")/.." && pwd)/tools/shift-replay.sh"
source "$(dirname "$0")/test_lib.sh"
begin_test
cd "$tmp" || exit 1

readonly PART_END=3320 LEAVE=3330 MENU_AGAIN=3331 ROUTE_MENU=10
{
  "$shift_replay" 0 $PART_END <"$win"
  echo "$LEAVE ESC"
  echo "at $MENU_AGAIN expect screen menu"
  "$shift_replay" $((MENU_AGAIN - ROUTE_MENU)) $PART_END <"$win"
  echo "end $((MENU_AGAIN + LEAVE))"
} >twice.replay

"$runner" --same-rounds twice.replay > same.out 2>&1 || { cat same.out; die "--same-rounds"; }
if "$runner" twice.replay > plain.out 2>&1; then
  die "the second round played as the first without --same-rounds: the test no longer tells"
fi
grep -q "^.*twice.replay: line [0-9]*: frame [0-9]*:" plain.out ||
  { cat plain.out; die "without --same-rounds the runner failed, but not at a check"; }
echo "passed"
