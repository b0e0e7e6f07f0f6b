#!/usr/bin/env bash
# The game's frame cost and pacing against a bare SDL2 + GL program drawing a
# frame of the same shape (bench/baseline.cpp), side by side in one run, each
# in a real window on a private virtual X server with Mesa's software
# renderer: at 640 x 480 in a window and at 1280 x 1024 full screen.
#
# Prints, per size: CPU milliseconds per frame (utime + stime of
# /proc/PID/stat over the measured spans, divided by the frames shown in
# them) of the baseline, the game's menu and a round with Santa walking, with
# the ratio to the baseline, the frame intervals (mean, p50, p99, worst) and
# GL draw calls and texture binds per frame (mean and most); then the game's
# CPU while paused by focus loss, the time to the first menu frame against
# the baseline's first frame (the best of three launches), and peak memory
# (VmHWM) of both; last, how each one's CPU per frame grows from the small
# window to the large.
# Frames are timed by bench/frame_log.cpp and GL calls counted by
# bench/gl_count.cpp, both preloaded into both programs.  The report also goes
# to OUT/report.txt, and a PNG histogram of the frame intervals, game against
# baseline, to OUT/intervals.png beside it.
#
# The machine is shared, so the two programs take turns: spans of one
# alternate with spans of the other while the one not measured is stopped
# (SIGSTOP), and a change of load hits both alike.
#
# Usage: bench/run.sh [BUILD_DIR]      (default: build/, built when missing)
#   BENCH_SECONDS   length of one measured span (default 4)
#   BENCH_TURNS     spans per program and screen (default 3)
#   SNOWBELTER      the game program to measure (default BUILD_DIR/snowbelter)
#   BENCH_OUT       where the report and the histogram go (default BUILD_DIR/bench)
# A benchmark, not a test: the numbers depend on the machine and its load.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
span=${BENCH_SECONDS:-4}
turns=${BENCH_TURNS:-3}

if [ ! -f "$build/CMakeCache.txt" ]; then
  [ "$build" = "$root/build" ] || { echo "run.sh: $build is not a build folder" >&2; exit 2; }
  "$root/tools/build.sh"
fi
cmake --build "$build" --target snowbelter bench_baseline frame_log gl_count bench_histogram \
  >/dev/null
game=$(realpath "${SNOWBELTER:-$build/snowbelter}")
baseline=$build/bench/bench_baseline
preload="$build/bench/libframe_log.so $build/bench/libgl_count.so"
out=$(realpath -m "${BENCH_OUT:-$build/bench}")
mkdir -p "$out"
ticks_per_s=$(getconf CLK_TCK)

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null && kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# --- programs and windows ------------------------------------------------------

start_xvfb() {   # WIDTH HEIGHT: sets DISPLAY to a new server of that size
  local file=$work/display
  Xvfb -displayfd 3 -screen 0 "${1}x${2}x24" -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  xvfb_pid=$!
  pids+=("$xvfb_pid")
  for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$file")"
  rm -f "$file"
}

# NAME PROGRAM ARGS...: starts it with its frame log $work/NAME.SIZE.log and
# GL counts $work/NAME.SIZE.gl, sets NAME_pid and returns once it has shown
# its first picture.
launch() {
  local name=$1
  shift
  BENCH_LAUNCH_NS=$(date +%s%N) BENCH_FRAME_LOG=$work/$name.$size.log \
    BENCH_GL_COUNT=$work/$name.$size.gl LD_PRELOAD=$preload \
    "$@" >"$work/$name.$size.out" 2>&1 &
  pids+=($!)
  eval "${name}_pid=$!"
  for _ in $(seq 300); do
    grep -qs '^first_picture_ms' "$work/$name.$size.log" && return 0
    sleep 0.1
  done
  echo "run.sh: $name showed no picture within 30 s" >&2
  exit 1
}

end() {   # PID
  kill -CONT "$1"
  kill "$1"
  wait "$1" || true
}

window_of() { timeout 20 xdotool search --sync --onlyvisible --pid "$1" | head -n 1; }
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }

# Santa on the middle floor, up the ladder beside his start out of the
# hazards' reach, walks left and right.
climb() { hold Up 0.8; }
walk() {   # SECONDS
  local until=$((SECONDS + $1))
  while [ $SECONDS -lt "$until" ]; do hold Left 0.45; hold Right 0.4; done
}

# --- measuring ------------------------------------------------------------------

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
frames_logged() { grep -c '^[0-9]* [01]$' "$1" || true; }
peak_kb() { awk '/^VmHWM/ {print $2}' "/proc/$1/status"; }
first_picture_ms() { awk '/^first_picture_ms/ {print $2}' "$work/$1.$size.log"; }

# NAME PROGRAM ARGS...: the least time to the first picture of NAME's launch
# and two more of the same program (start-up is the noisiest number here).
best_first_ms() {
  local name=$1 best turn
  shift
  best=$(first_picture_ms "$name")
  for turn in 2 3; do
    launch "$name$turn" "$@"
    eval "end \"\$${name}${turn}_pid\""
    best=$(awk -v a="$best" -v b="$(first_picture_ms "$name$turn")" 'BEGIN {print b < a ? b : a}')
  done
  echo "$best"
}

# NAME KEY PID [COMMAND...]: one span of $span seconds (or of COMMAND) of the
# running program NAME, the others stopped; adds its CPU ticks, frames, frame
# intervals and GL counts per frame to $work/KEY.*.
measure() {
  local name=$1 key=$2 pid=$3
  shift 3
  local c0 c1 n0 n1 log=$work/$name.$size.log
  kill -CONT "$pid"
  sleep 0.5   # past the frame after the stop
  c0=$(cpu_ticks "$pid")
  n0=$(frames_logged "$log")
  if [ $# -gt 0 ]; then "$@"; else sleep "$span"; fi
  c1=$(cpu_ticks "$pid")
  n1=$(frames_logged "$log")
  kill -STOP "$pid"
  echo "$((c1 - c0)) $((n1 - n0))" >>"$work/$key.spans"
  # From the second frame on: a stop that fell between a frame's time and
  # its line leaves that line, written after the settling, with the time
  # from before the stop.
  grep '^[0-9]* [01]$' "$log" | sed -n "$((n0 + 2)),${n1}p" |
    awk 'NR > 1 {printf "%.6f\n", ($1 - last) / 1e6} {last = $1}' >>"$work/$key.intervals"
  # The GL counter writes one line per swap too, after the frame log's.
  sed -n "$((n0 + 2)),${n1}p" "$work/$name.$size.gl" >>"$work/$key.gl"
}

# KEY: "draws_mean draws_most binds_mean binds_most" per frame.
gl_stats() {
  awk '{d += $1; b += $2; if ($1 > dm) dm = $1; if ($2 > bm) bm = $2}
    END {printf "%.1f %d %.1f %d\n", d / NR, dm, b / NR, bm}' "$work/$1.gl"
}

# KEY: "cpu_ms_per_frame frames mean p50 p99 worst", intervals in ms.
stats() {
  local ticks frames
  read -r ticks frames < <(awk '{t += $1; f += $2} END {print t, f}' "$work/$1.spans")
  sort -n "$work/$1.intervals" | awk -v ticks="$ticks" -v frames="$frames" -v hz="$ticks_per_s" '
    { d[NR] = $1; sum += $1 }
    END {
      p99 = int(NR * 0.99); if (p99 < NR * 0.99) p99++
      printf "%.3f %d %.3f %.3f %.3f %.3f\n", ticks * 1000 / hz / frames, frames, sum / NR,
        d[int((NR + 1) / 2)], d[p99], d[NR]
    }'
}

# The game's CPU over 5 s while another window has the focus, in % of a core.
paused_cpu() {   # PID
  local c0 c1
  c0=$(cpu_ticks "$1")
  sleep 5
  c1=$(cpu_ticks "$1")
  awk -v t=$((c1 - c0)) -v hz="$ticks_per_s" 'BEGIN {printf "%.2f", t * 100 / hz / 5}'
}

row() {   # WHAT KEY BASELINE_KEY
  local mine base gl
  mine=($(stats "$2"))
  base=($(stats "$3"))
  gl=($(gl_stats "$2"))
  echo "${mine[0]}" >"$work/$2.cpu"
  printf "%-9s %-10s %8.3f %6.2f %7d %8.3f %8.3f %8.3f %8.3f %6.1f %4d %6.1f %4d\n" "$size" "$1" \
    "${mine[0]}" "$(awk -v a="${mine[0]}" -v b="${base[0]}" 'BEGIN {print a / b}')" \
    "${mine[@]:1}" "${gl[@]}"
}

growth() {   # WHAT KEY: CPU per frame at the large size over the small
  awk -v w="$1" -v s="$(cat "$work/$2.640x480.cpu")" -v l="$(cat "$work/$2.1280x1024.cpu")" \
    'BEGIN {printf "%-10s %8.3f -> %8.3f ms, %.2f x\n", w, s, l, l / s}'
}

# --- one screen size ---------------------------------------------------------------

run_size() {   # LABEL SCREEN_W SCREEN_H OPTION (--window or --fullscreen)
  size=$1
  start_xvfb "$2" "$3"
  "$baseline" --still >/dev/null 2>&1 &   # somewhere to move the focus
  local still_pid=$!
  pids+=("$still_pid")
  local still
  still=$(window_of "$still_pid")

  launch baseline "$baseline" "$4"
  kill -STOP "$baseline_pid"
  mkdir -p "$work/home"
  HOME=$work/home XDG_CONFIG_HOME=$work/home XDG_DATA_HOME=$work/home TMPDIR=$work \
    SDL_AUDIODRIVER=dummy launch game "$game" "$4" --no-settings
  local window
  window=$(window_of "$game_pid")
  focus "$window"
  sleep 1
  kill -STOP "$game_pid"

  for _ in $(seq "$turns"); do
    measure baseline base.$size "$baseline_pid"
    measure game menu.$size "$game_pid"
  done

  kill -CONT "$game_pid"
  focus "$still"
  sleep 1
  local paused caption
  paused=$(paused_cpu "$game_pid")
  caption=$(xdotool getwindowname "$window")
  focus "$window"
  sleep 1
  hold Return 0.3      # menu: Start Game
  sleep 2              # the story must be up before the key that leaves it
  hold Control_L 0.3   # leave the story
  sleep 1.5
  climb
  kill -STOP "$game_pid"
  for _ in $(seq "$turns"); do
    measure baseline base.$size "$baseline_pid"
    measure game round.$size "$game_pid" walk "$span"
  done

  row baseline "base.$size" "base.$size"
  row "game menu" "menu.$size" "base.$size"
  row "game round" "round.$size" "base.$size"
  local base_first game_first base_peak game_peak
  base_peak=$(peak_kb "$baseline_pid")
  game_peak=$(peak_kb "$game_pid")
  base_first=$(best_first_ms baseline "$baseline" "$4")
  game_first=$(HOME=$work/home XDG_CONFIG_HOME=$work/home XDG_DATA_HOME=$work/home \
    TMPDIR=$work SDL_AUDIODRIVER=dummy best_first_ms game "$game" "$4" --no-settings)
  summary+=("$(awk -v s="$size" -v p="$paused" -v c="$caption" -v bf="$base_first" \
    -v gf="$game_first" -v bp="$base_peak" -v gp="$game_peak" 'BEGIN {
      printf "%-9s paused %.2f %% of a core (caption \"%s\"); first frame %.0f ms vs %.0f ms (%.2f x); peak memory %.1f MB vs %.1f MB (%.2f x)",
        s, p, c, gf, bf, gf / bf, gp / 1024, bp / 1024, gp / bp }')")
  end "$game_pid"
  end "$baseline_pid"
  end "$still_pid"
  end "$xvfb_pid"
}

exec > >(tee "$out/report.txt")
echo "game: $game; $turns spans of $span s each;$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2)"
printf "%-9s %-10s %8s %6s %7s %8s %8s %8s %8s %6s %4s %6s %4s\n" size program "cpu ms/f" \
  "x base" frames "mean ms" "p50 ms" "p99 ms" "worst ms" draws most binds most
summary=()
run_size 640x480 800 600 --window
run_size 1280x1024 1280 1024 --fullscreen
echo "game against baseline:"
printf "%s\n" "${summary[@]}"
echo "growth of CPU per frame from 640x480 to 1280x1024:"
growth baseline base
growth "game menu" menu
growth "game round" round
panels=()
for s in 640x480 1280x1024; do
  panels+=("$s:$work/base.$s.intervals:$work/menu.$s.intervals:$work/round.$s.intervals")
done
"$build/bench/bench_histogram" "$out/intervals.png" "${panels[@]}"
echo "histogram of frame intervals: $out/intervals.png"
