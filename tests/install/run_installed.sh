#!/usr/bin/env bash
# Runs an installed Snowbelter as a player would: from another folder, on a
# private virtual X server, with a fresh home and, when the test runs as root,
# as a user who owns none of the game's files (nobody). The temporary folder
# it is given cannot be written, and there is no runtime folder. The menu must
# come up as a picture that is not black, and Alt+F4 must end the game with
# exit code 0.
# Usage: run_installed.sh PROGRAM
set -euo pipefail
program=$1

source "$(dirname "$0")/../test_lib.sh"
begin_test
game=
on_exit '[ -z "$game" ] || kill -9 "$game"'
report() {
  echo "--- game output"
  cat "$tmp/game.out" 2>/dev/null || true
  exit 1
}

chmod 0755 "$tmp"
mkdir -m 0755 "$tmp/home" "$tmp/elsewhere" "$tmp/no-data" "$tmp/closed"
chmod 0555 "$tmp/closed"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$tmp/home" "$tmp/elsewhere"
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# Every folder on the way to the program must be open to that user.
"${run_as[@]}" test -x "$program" || die "$("${run_as[@]}" id -un) cannot run $program"

# A private X server that any user may use, with a black root window, so
# that only the game can light pixels.
start_x -ac -br

# Only what a player's session would pass on; the data folders name nothing,
# so the game has to find its media beside itself, as installed.
(cd "$tmp/elsewhere" &&
  exec "${run_as[@]}" env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_RUNTIME_DIR= \
    TMPDIR="$tmp/closed" XDG_DATA_DIRS="$tmp/no-data" SDL_AUDIODRIVER=dummy \
    DISPLAY="$DISPLAY" "$program") >"$tmp/game.out" 2>&1 &
game=$!

window=
for _ in $(seq 300); do
  window=$(xdotool search --name '^snowbelter$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  if ! kill -0 "$game" 2>/dev/null; then
    code=0
    wait "$game" || code=$?
    game=
    echo "FAIL: the game ended with exit code $code before its window opened"
    report
  fi
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window with the caption snowbelter"; report; }

# The first menu picture: the share of the game window's pixels that are not
# black, polled until the menu has been drawn.
lit=0
for _ in $(seq 40); do
  if import -window "$window" "$tmp/screen.png" 2>/dev/null; then
    lit=$(convert "$tmp/screen.png" -colorspace Gray -threshold 4% -format '%[fx:mean]' info:)
    awk -v lit="$lit" 'BEGIN { exit !(lit >= 0.5) }' && break
  fi
  sleep 0.5
done
echo "share of the window that is not black: $lit"
awk -v lit="$lit" 'BEGIN { exit !(lit >= 0.5) }' || fail "the menu is black (lit share $lit)"
kill -0 "$game" 2>/dev/null || fail "the game ended by itself"

xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool keydown Alt_L keydown F4
sleep 0.5
xdotool keyup F4 keyup Alt_L
for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game" 2>/dev/null; then
  fail "Alt+F4 did not end the game"
  kill -9 "$game"
fi
code=0
wait "$game" || code=$?
game=
[ $code -eq 0 ] || fail "exit code $code"

[ $failures -eq 0 ] || report
echo "installed game ran as $("${run_as[@]}" id -un): menu drawn, Alt+F4, exit code 0"
