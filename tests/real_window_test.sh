#!/usr/bin/env bash
# The built game started as a player starts it, in a real window on a private
# virtual X server: keys are typed with xdotool, the window is closed with
# Alt+F4, and the caption, the log, the exit code and the temporary folder
# are checked.
# Usage: real_window_test.sh PATH_TO_SNOWBELTER
set -uo pipefail
game=$1

if [ -z "${INSIDE_XVFB:-}" ]; then
  export INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export TMPDIR=$tmp SDL_AUDIODRIVER=dummy
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
hold() { xdotool keydown "$1"; sleep "${2:-0.3}"; xdotool keyup "$1"; }

"$game" > "$tmp/game.out" 2>&1 &
pid=$!
window=$(timeout 20 xdotool search --sync --name '^snowbelter$' | head -n 1)
[ -n "$window" ] || { fail "no window with the caption snowbelter"; kill $pid; exit 1; }
xdotool windowfocus --sync "$window"
sleep 1

[ "$(xdotool getwindowname "$window")" = "snowbelter" ] || fail "caption is not snowbelter"
grep -q "^Init GFX" "$tmp/ErrorLog.txt" || fail "log lacks Init GFX"
grep -q "^Init Finalized" "$tmp/ErrorLog.txt" || fail "log lacks Init Finalized"
ls "$tmp" | grep -q '^sbx.*filler\.mp3$' || fail "the menu tune was not extracted"

# Start a round (menu -> story -> round) and walk a little.
hold Return
sleep 1
hold Control_L
sleep 1
hold Right 1
kill -0 $pid 2>/dev/null || fail "the game ended while playing"

xdotool keydown Alt_L keydown F4
sleep 0.5
xdotool keyup F4 keyup Alt_L
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
if kill -0 $pid 2>/dev/null; then
  fail "Alt+F4 did not end the game"
  kill -9 $pid
fi
wait $pid
code=$?
[ $code -eq 0 ] || fail "exit code $code"
[ "$(tail -n 1 "$tmp/ErrorLog.txt" | tr -d '\r')" = "Shut down MRV" ] || fail "log does not end with Shut down MRV"
leftovers=$(ls "$tmp" | grep '^sbx' || true)
[ -z "$leftovers" ] || fail "extracted files left behind: $leftovers"

if [ $failures -ne 0 ]; then
  echo "--- game output"; cat "$tmp/game.out"; echo "--- log"; cat "$tmp/ErrorLog.txt"
  exit 1
fi
echo "real window: caption, log, keys, Alt+F4, exit code and clean-up all fine"
