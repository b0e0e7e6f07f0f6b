#!/usr/bin/env bash
# The whole path of a best result, driven by the replay runner with --bests,
# which keeps the bests as the game keeps them in the player's data folder:
#  - the winning route of win.replay makes the standard table over a
#    hand-edited bests.txt kept as the game kept it before replays were
#    named by their rows: the good rows stay (ranked), the bad ones go, the
#    old best's replay takes its row's name and a replay no row names goes;
#  - the end screen ignores a held Enter for its first 180 frames and
#    returns to the menu on the next;
#  - the best's replay, played by the runner, ends with the same result and
#    the same trace;
#  - in a folder that cannot be written (its lock file is a folder, which
#    stops root too) the same route's end screen says so in one line
#    (tests/reference/end_not_kept.png), the folder stays as it was, and the
#    game goes on to the menu.
# Usage: bests_test.sh PATH_TO_SNOWREPLAY PATH_TO_WIN_REPLAY OUTPUT
# A picture that differs is left in OUTPUT with its difference.
set -uo pipefail
runner=$(realpath "$1")
win=$(realpath "$2")
out="$3"
mkdir -p "$out"
source "$(dirname "$0")/test_lib.sh"
begin_test
cd "$tmp" || exit 1

mkdir bests
cat > bests/bests.txt <<'ROWS'
# hand-edited
standard 100 1 6000 2025-12-24T20:00:00Z 100 300 5 0
standard abc 5 6000 2025-12-24T20:00:00Z 100 300 5 0
assisted 9000 9 6000 2025-12-24T21:00:00Z 50 0 0 1
standard 9999 5 6000 2025-12-24T22:00:00Z 50 300 5 0
standard 7000 5
ROWS
echo "old best" > bests/best-standard-1.replay
echo "no row's" > bests/best-standard-20251224T200000Z-0badf00d.replay

# The route of win.replay without its pictures and final checks, then the
# end screen's keys.
grep -v -e '^screenshot' -e '^expect' -e '^end' "$win" > route.replay
cat >> route.replay <<'KEYS'
11600-11640 ENTER        # the end screen (from 11453) holds for 180 frames
at 11633 expect screen end
at 11634 expect screen menu
at 11634 expect round_lists 0
expect screen menu
end 11700
KEYS
"$runner" --bests bests route.replay route.csv > route.out 2>&1 || { cat route.out; die "the route"; }

rows=$(grep -v '^#' bests/bests.txt | cut -d' ' -f1-4)
expected="standard 7784 5 6000
standard 100 1 6000
assisted 9000 9 6000"
[ "$rows" = "$expected" ] || die "bests.txt holds"$'\n'"$rows"$'\n'"expected"$'\n'"$expected"
# Each replay named by its row's table, date and hash: the old best's, and
# the new best's (its date the run's own).
replays=$(cd bests && ls best-*.replay)
[ "$(wc -l <<<"$replays")" = 2 ] || die "the replays left are"$'\n'"$replays"
old=$(grep -l "^old best$" bests/best-standard-20251224T200000Z-*.replay) ||
  die "the old best's replay did not take its row's name"
best=$(ls bests/best-standard-*.replay | grep -v "$old")
[[ $best =~ ^bests/best-standard-[0-9]{8}T[0-9]{6}Z-[0-9a-f]{8}\.replay$ ]] ||
  die "the best's replay is named $best"
grep -q '^end 11453$' "$best" || die "the best's replay does not end where the end screen began"

"$runner" "$best" best.csv > best.out 2>&1 || { cat best.out; die "the best's replay"; }
head -n "$(wc -l < best.csv)" route.csv | cmp -s - best.csv || die "the best's replay traced differently"
tail -n 1 best.csv

mkdir -p stuck/bests.lock
echo "standard 100 1 6000 2025-12-24T20:00:00Z 100 300 5 0" > stuck/bests.txt
before=$(cd stuck && ls -A && cat bests.txt)
sed 's/^end 11700$/screenshot 11470 end_not_kept.png\nend 11700/' route.replay > stuck.replay
"$runner" --bests stuck --output "$out" stuck.replay stuck.csv > stuck.out 2>&1 ||
  { cat stuck.out; die "the route over a folder that cannot be written"; }
[ "$(cd stuck && ls -A && cat bests.txt)" = "$before" ] || die "the folder that cannot be written changed"
echo "passed"
