#!/usr/bin/env bash
# The Best results page to the pixel (tests/reference/results.png), driven by
# the replay runner with --bests over a prepared folder, reached as a player
# reaches it: the menu's Options, down to "Best results >" and Enter.  The
# folder holds both tables: an honest row, a row edited by hand after its
# replay was kept and one without a replay in the standard table; two rows
# with assists in the assisted table.  The replays are stand-ins: the page
# holds only their claims to the rows, it does not play them.  Escape goes
# back to the Options, and Escape again to the menu.
# Usage: results_page_test.sh PATH_TO_SNOWREPLAY OUTPUT
# A picture that differs is left in OUTPUT with its difference.
set -uo pipefail
runner=$(realpath "$1")
out="$2"
source "$(dirname "$0")/test_lib.sh"
begin_test
mkdir -p "$out"
cd "$tmp" || exit 1

mkdir bests
cat > bests/bests.txt <<'ROWS'
standard 7808 5 6000 2026-12-24T20:15:00Z 100 300 5 0
standard 6100 4 9500 2026-12-23T18:40:00Z 100 300 5 0
standard 3050 1 4000 2026-12-22T17:05:00Z 100 300 5 0
assisted 9150 5 6000 2026-12-24T21:30:00Z 70 450 0 1
assisted 4270 9 5000 2026-12-20T09:00:00Z 50 0 9 0
ROWS
# claims OPTION_LINES SCORE LIVES TIME_LEFT: the end screen's claims.
claims() {
  printf '%b' "$1"
  printf 'expect screen end\nexpect score %s\nexpect lives %s\nexpect time_left %s\nend 11453\n' \
    "$2" "$3" "$4"
}
claims "" 6000 5 128 > bests/best-standard-1.replay
claims "" 5500 4 100 > bests/best-standard-2.replay   # its row's score says 9500
claims "option speed 70\noption time_limit 450\noption lives unlimited\noption safe_falls on\n" \
  6000 5 150 > bests/best-assisted-1.replay
claims "option speed 50\noption time_limit none\noption lives 9\n" 5000 9 70 \
  > bests/best-assisted-2.replay
before=$(cat bests/*)

# The screens take keys 20 frames after opening and 10 after each step.
cat > results.replay <<'KEYS'
30 CURSOR_DOWN
41 CURSOR_DOWN
52 ENTER                 # Options
at 52 expect screen options
72 CURSOR_DOWN           # Effects, Display, Picture fit, Assists >
83 CURSOR_DOWN
94 CURSOR_DOWN
105 CURSOR_DOWN
116 CURSOR_DOWN          # Best results >
127 ENTER
at 127 expect screen options
at 128 expect screen results
148 CURSOR_DOWN
159 CURSOR_DOWN          # the row without a replay
screenshot 175 results.png
180 ESC
at 180 expect screen results
at 181 expect screen options
201 ESC
at 202 expect screen menu
expect screen menu
end 220
KEYS
"$runner" --bests bests --output "$out" results.replay "$out/trace.csv" > results.out 2>&1 ||
  { cat results.out; die "the Best results page"; }
[ "$(cat bests/*)" = "$before" ] || die "the page changed the bests folder"
echo "passed"
