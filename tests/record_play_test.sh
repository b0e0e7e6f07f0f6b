#!/usr/bin/env bash
# A real session recorded and traced by the game itself, then played by the
# replay runner: both traces must agree line for line.  The game runs in a
# real window on a private virtual X server and is driven by xdotool.
# Usage: record_play_test.sh PATH_TO_SNOWBELTER PATH_TO_SNOWREPLAY
set -uo pipefail
game=$(realpath "$1")
runner=$(realpath "$2")

if [ -z "${INSIDE_XVFB:-}" ]; then
  export INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export TMPDIR=$tmp SDL_AUDIODRIVER=dummy HOME=$tmp
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
hold() { xdotool keydown "$1"; sleep "${2:-0.2}"; xdotool keyup "$1"; sleep 0.3; }

"$game" --window --no-settings --record "$tmp/session.replay" --trace "$tmp/game.csv" \
  > "$tmp/game.out" 2>&1 &
pid=$!
window=$(timeout 20 xdotool search --sync --name '^snowbelter$' | head -n 1)
[ -n "$window" ] || { fail "no window"; kill $pid; exit 1; }
xdotool windowfocus --sync "$window"
sleep 1
hold Prior                 # music louder
hold Return                # Start Game
sleep 1.5                  # the story ignores the jump key for half a second
hold Control_L             # leave the story (the first round frame jumps)
hold Right 1               # walk
hold Control_L 0.5         # jump
hold Left 0.5
hold Return                # pause ...
hold Return                # ... and on
sleep 1
# A crash would leave the file as it is now: already a script that plays.
grep -q '^seed ' "$tmp/session.replay" || fail "nothing recorded while playing"
xdotool keydown Alt_L keydown F4; sleep 0.3; xdotool keyup F4 keyup Alt_L
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
kill -0 $pid 2>/dev/null && { fail "Alt+F4 did not end the game"; kill -9 $pid; }
wait $pid
code=$?
[ $code -eq 0 ] || fail "the game ended with $code"
tail -n 1 "$tmp/session.replay" | grep -q '^end [0-9]*$' || fail "the recording has no end line"

mkdir -p "$tmp/runner"
(cd "$tmp/runner" && "$runner" --output "$tmp/runner" "$tmp/session.replay" "$tmp/runner.csv") \
  > "$tmp/runner.out" 2>&1 || fail "the runner did not pass the recording: $(tail -n 2 "$tmp/runner.out")"
grep -q ',round,' "$tmp/game.csv" || fail "the session never reached the round"
diff "$tmp/game.csv" "$tmp/runner.csv" > "$tmp/diff" || fail "the traces differ: $(head -n 6 "$tmp/diff")"

# A malformed script is refused before any window opens.
printf 'seed 1\n10 NO_SUCH_KEY\n' > "$tmp/bad.replay"
"$game" --play "$tmp/bad.replay" > "$tmp/bad.out" 2>&1
code=$?
[ $code -eq 2 ] || fail "a malformed script gave exit code $code"
grep -q "^snowbelter: $tmp/bad.replay: line 2: " "$tmp/bad.out" || fail "no line number: $(cat "$tmp/bad.out")"

if [ $failures -ne 0 ]; then
  echo "--- recording"; cat "$tmp/session.replay"; echo "--- game"; cat "$tmp/game.out"
  exit 1
fi
echo "record and play: $(wc -l < "$tmp/game.csv") trace lines agree; a bad script is refused with exit 2"
