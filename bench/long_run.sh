#!/usr/bin/env bash
# A long run through every screen, watching the game's memory and open files.
#
# The replay runner (unpaced, on the test clock, undrawn, --same-rounds)
# plays one script of CYCLES cycles: the winning route of
# tests/replays/win.replay from the menu through the story and the round to
# its end screen and back to the menu, then the key screen and back, the
# Options, the Assists (the game speed a step to one side, so the rounds
# alternate between the standard and the assisted table), the Best results
# page, and back to the menu.  Every round is a best: the results are kept in
# a temporary --bests folder, where, once a round's end screen is left, the
# table goes back to five rows that every round beats, so that each round
# enters at the top, its replay is written and the others move down.  Every
# screen change of every cycle is checked by the script itself.
#
# Every 10,000 frames, and in the middle of each round ("round" rows), the
# runner is stopped for a moment and its resident memory (VmRSS) and open
# files (/proc/PID/fd) are read; the rows print as a table.  The middle of a
# round is the same moment of every cycle: the rows between swing with what
# the screen of the moment holds (its music, whose file is open while it
# plays).  From the second round's row on, memory must stay within 2 MB of
# that row's and the open files the same.  The script ends 1 when they do
# not, when a round's best was not entered, or when the runner's own checks
# fail.
#
# Usage: bench/long_run.sh [BUILD_DIR]    (default: build/, built when missing)
#   LONG_RUN_CYCLES   rounds to play (default 30: about 350,000 frames)
#   LONG_RUN_MALLOC   glibc: malloc's own threshold policy (see below), not a
#                     fixed one
# A benchmark, not a test: it takes minutes, and what it watches is the
# process as a whole, the runner with the game.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
cycles=${LONG_RUN_CYCLES:-30}

readonly SAMPLE_FRAMES=10000
readonly MEMORY_SLACK_KB=2048
# win.replay's first menu frame, and its end screen's return to the menu
# (with Enter held from frame 11600, as tests/bests_test.sh holds it).
readonly ROUTE_MENU=10
readonly ROUTE_ENTER_FROM=11600 ROUTE_ENTER_TO=11640 ROUTE_MENU_AGAIN=11634
readonly ROUTE_END_SCREEN=11453
# A frame in the middle of the route's round, far from its screen changes.
readonly ROUTE_MIDDLE=6000

if [ ! -f "$build/CMakeCache.txt" ]; then
  [ "$build" = "$root/build" ] || { echo "long_run.sh: $build is not a build folder" >&2; exit 2; }
  "$root/tools/build.sh"
fi
cmake --build "$build" --target snowreplay >/dev/null

work=$(mktemp -d)
runner_pid=
cleanup() {
  [ -n "$runner_pid" ] && kill -CONT "$runner_pid" 2>/dev/null && kill "$runner_pid" 2>/dev/null
  wait 2>/dev/null || true
  [ -n "${LONG_RUN_KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT

# --- the script ------------------------------------------------------------------

# The tour after a round, in frames from the menu's first frame: the key
# screen and back, the Options, the Assists (SPEED: the game speed a step to
# one side), the Best results page, the Options again and the menu, whose
# first frame is the last line's.  The screens take keys 20 frames after
# they open and 10 after each step.
readonly TOUR='20 CURSOR_DOWN
32 ENTER
at 32 expect screen keys
57 ESC
at 58 expect screen menu
78 CURSOR_DOWN
89 CURSOR_DOWN
100 ENTER
at 100 expect screen options
120 CURSOR_DOWN
131 CURSOR_DOWN
142 CURSOR_DOWN
153 CURSOR_DOWN
164 ENTER
at 165 expect screen assists
185 SPEED
196 ESC
at 197 expect screen options
217 CURSOR_DOWN
228 ENTER
at 229 expect screen results
259 ESC
at 260 expect screen options
280 ESC
at 281 expect screen menu'
readonly TOUR_FRAMES=281

# One cycle from the menu's first frame M: the round, its end screen and the
# return to the menu, then the tour.  Sets next_menu, the next cycle's M.
cycle() {   # M SPEED_KEY
  local shift=$(($1 - ROUTE_MENU)) back
  back=$((shift + ROUTE_MENU_AGAIN))
  echo "$((shift + ROUTE_MIDDLE)) round" >>"$work/marks"
  echo "$back back" >>"$work/marks"
  # The round clock keeps its frames towards the next second from one round
  # to the next (world.h): the seconds left may be one fewer than in the
  # first round; the rest of the round is the same.
  "$root/tools/shift-replay.sh" "$shift" <"$root/tests/replays/win.replay" |
    grep -v 'expect time_left'
  "$root/tools/shift-replay.sh" "$shift" <<EOF
at $ROUTE_END_SCREEN expect screen end
$ROUTE_ENTER_FROM-$ROUTE_ENTER_TO ENTER
at $ROUTE_MENU_AGAIN expect screen menu
EOF
  echo "${TOUR/SPEED/$2}" | "$root/tools/shift-replay.sh" "$back"
  next_menu=$((back + TOUR_FRAMES))
}

make_script() {
  local m=$ROUTE_MENU k speed
  for k in $(seq "$cycles"); do
    speed=CURSOR_RIGHT
    [ $((k % 2)) -eq 0 ] && speed=CURSOR_LEFT
    cycle "$m" "$speed"
    m=$next_menu
  done
  echo "expect screen menu"
  echo "end $((m + 20))"
}

# Five rows every round of the route beats, in both tables.
weak_table() {
  local place
  for place in 1 2 3 4 5; do
    echo "standard $((place * 10)) 1 0 2026-12-01T00:00:0${place}Z 100 300 5 0"
    echo "assisted $((place * 10)) 1 0 2026-12-01T00:00:0${place}Z 90 300 5 0"
  done
}


# --- the run ---------------------------------------------------------------------

mkdir -p "$work/bests"
weak_table >"$work/bests/bests.txt"
weak_table >"$work/weak.txt"
make_script >"$work/long.replay"
# The trace comes through a pipe, read as it comes: while a row is taken the
# reader reads nothing, so the runner is stopped (SIGSTOP) at most a pipe's
# worth of trace (some hundreds of frames) past the row's frame.
mkfifo "$work/trace.fifo"
# glibc's malloc raises its threshold for mapping a block of its own to the
# largest block freed so far, and a best's replay (the whole session's keys)
# grows by some KB every round: from then on each larger replay comes from
# the heap, whose free holes stay resident, and the memory climbs by a few MB
# over thirty rounds with nothing leaked.  A fixed threshold takes that
# policy out of the figures, so that what climbs is the game's
# (LONG_RUN_MALLOC=glibc runs with glibc's own policy).
malloc_policy=(MALLOC_MMAP_THRESHOLD_=65536 MALLOC_TRIM_THRESHOLD_=131072)
[ "${LONG_RUN_MALLOC:-fixed}" = glibc ] && malloc_policy=()
env "${malloc_policy[@]}" SDL_AUDIODRIVER=dummy "$build/snowreplay" --same-rounds --bests "$work/bests" \
  --output "$work" "$work/long.replay" "$work/trace.fifo" >"$work/runner.out" 2>&1 &
runner_pid=$!

printf '%9s %-6s %7s %6s %10s %6s %8s\n' frame when rounds bests "VmRSS kB" files replays
awk -F, -v pid="$runner_pid" -v every=$SAMPLE_FRAMES -v marks_file="$work/marks" \
  -v weak="$work/weak.txt" -v bests="$work/bests" -v rows="$work/rows" '
  function output_of(command,    line) {
    line = ""
    command | getline line
    close(command)
    return line
  }
  # One row, the runner stopped while it is taken.
  function take_row(when,    line, kb, f, files) {
    system("kill -STOP " pid)
    while ((getline line < ("/proc/" pid "/status")) > 0)
      if (line ~ /^VmRSS/) { split(line, f, /[ \t]+/); kb = f[2] }
    close("/proc/" pid "/status")
    files = output_of("ls /proc/" pid "/fd | wc -l")
    system("kill -CONT " pid)
    printf "%9d %-6s %7d %6d %10d %6d %8d\n", $1, when, rounds, written, kb, files,
      output_of("ls " bests " | grep -c replay")
    print $1, when, rounds, kb, files > rows
    fflush()
  }
  # The round is over: its best is in the table (the only row of three
  # digits), and the table goes back to rows the next round beats.
  function round_over() {
    written += output_of("grep -c \"^[a-z]* [0-9][0-9][0-9]\" " bests "/bests.txt") == 1
    system("cp " weak " " bests "/bests.txt.new && mv " bests "/bests.txt.new " bests "/bests.txt")
    rounds++
  }
  BEGIN {
    while ((getline line < marks_file) > 0) {
      split(line, f, " ")
      mark_frame[++count] = f[1]
      mark_kind[count] = f[2]
    }
    next_mark = 1
    rounds = written = 0
  }
  NR == 1 { next }
  next_mark <= count && $1 >= mark_frame[next_mark] {
    if (mark_kind[next_mark] == "back") round_over()
    else take_row("round")
    next_mark++
  }
  $1 > 0 && $1 % every == 0 { take_row("-") }
  END { print written > (rows ".bests") }' "$work/trace.fifo"
status=0
wait "$runner_pid" || status=$?
runner_pid=
tail -n 1 "$work/runner.out"
[ "$status" -eq 0 ] || { cat "$work/runner.out"; echo "long_run.sh: the runner's checks failed"; }

# The rounds' rows from the second on: memory and open files.
awk -v slack=$MEMORY_SLACK_KB -v status="$status" -v rounds="$cycles" \
  -v bests="$(cat "$work/rows.bests")" '
  $2 != "round" || $3 < 1 { next }
  !base_kb { base_kb = $4; base_fd = $5; base_frame = $1 }
  { if ($4 - base_kb > most) most = $4 - base_kb; last_kb = $4; kb[++n] = $4 }
  $5 != base_fd { fd_changed = 1 }
  END {
    if (!base_kb) { print "long_run.sh: no round after the first"; exit 1 }
    printf "in the second round (frame %d): VmRSS %d kB; in the last %d kB; " \
      "most above the second %d kB; open files %d\n", base_frame, base_kb, last_kb, most, base_fd
    # Whether the highs climb: the first half of these rows against the second.
    for (i = 1; i <= n; i++) {
      if (i <= n / 2 && kb[i] > early) early = kb[i]
      if (i > n / 2 && kb[i] > late) late = kb[i]
    }
    printf "highest in the first half of these rounds %d kB, in the second %d kB\n", early, late
    printf "%d rounds won, %d of them entered in the table\n", rounds, bests
    bad = status != 0 || bests != rounds
    if (most > slack) { print "memory grew by more than " slack " kB"; bad = 1 }
    if (fd_changed) { print "the open files changed"; bad = 1 }
    print bad ? "long run: FAILED" : "long run: memory flat, open files constant"
    exit bad
  }' "$work/rows"
