#!/usr/bin/env bash
# How the built game fails to start, and two copies running side by side, as
# a player would see them on private virtual X servers:
#   - no OpenGL (an X server without GLX) and no game data: one line on
#     stderr and exit code 1 (a message box, where one shows, is dismissed);
#   - a display that does not answer (DISPLAY=:977): one line, exit code 1;
#   - two copies at once: each keeps its own log, neither deletes the other's.
# Usage: start_failures_test.sh PATH_TO_SNOWBELTER
set -uo pipefail
game=$(realpath "$1")

source "$(dirname "$0")/test_lib.sh"
begin_test

# Runs the game with the given arguments, dismisses its message box with
# Return when one shows, and checks the exit code and the stderr line.
expect_refusal() {
  local what=$1 pattern=$2; shift 2
  "$@" > "$tmp/out" 2>&1 &
  local pid=$! box
  # SDL shows the box through zenity where it is installed; it may not be.
  box=$(timeout 5 xdotool search --sync --name '^Snowbelter$' 2>/dev/null | head -n 1)
  if [ -n "$box" ]; then
    xdotool windowfocus --sync "$box" 2>/dev/null
    xdotool key --window "$box" Return
  fi
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && { fail "$what: still running"; kill -9 $pid; }
  wait $pid
  local code=$?
  [ $code -eq 1 ] || fail "$what: exit code $code"
  grep -Eq "^snowbelter: cannot start: $pattern" "$tmp/out" || fail "$what: stderr was: $(cat "$tmp/out")"
}

start_x -extension GLX
expect_refusal "no OpenGL" "." env TMPDIR="$tmp" "$game"

start_x
mkdir -p "$tmp/bare" "$tmp/home"
cp "$game" "$tmp/bare/snowbelter"
expect_refusal "no data" "the game's data \(media/gfx.sbx\) is in none of these folders: $tmp/bare/, " \
  env HOME="$tmp/home" XDG_DATA_HOME= XDG_DATA_DIRS=/nowhere TMPDIR="$tmp" "$tmp/bare/snowbelter"

# A display that does not answer: no fall-back to an invisible window, no
# message box (none can show there), one line and exit code 1.
env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:977 TMPDIR="$tmp" timeout 20 "$game" > "$tmp/out" 2>&1
code=$?
[ $code -eq 1 ] || fail "a display that does not answer: exit code $code"
grep -q "^snowbelter: cannot start: cannot open the display :977: ." "$tmp/out" ||
  fail "a display that does not answer: stderr was: $(cat "$tmp/out")"

# Two copies: the second starts while the first runs.
logs="$tmp/logs"
mkdir -p "$logs"
wait_for_line() {
  for _ in $(seq 100); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.2; done
  return 1
}
TMPDIR="$logs" "$game" >/dev/null 2>&1 &
first=$!
wait_for_line "$logs/ErrorLog.txt" "^Init Finalized" || fail "the first copy did not start"
TMPDIR="$logs" "$game" >/dev/null 2>&1 &
second=$!
wait_for_line "$logs/ErrorLog-2.txt" "^Init Finalized" || fail "the second copy has no log of its own"
grep -q "^Init Finalized" "$logs/ErrorLog.txt" || fail "the second copy emptied the first one's log"
kill -TERM $second $first 2>/dev/null
for pid in $second $first; do
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -9 $pid 2>/dev/null
  wait $pid 2>/dev/null
done

report_and_exit "start failures: no OpenGL and no data refused with a line and exit 1; two copies keep their own logs" \
  "$logs"/*
