#!/usr/bin/env bash
# A real session recorded and traced by the game itself, then played by the
# replay runner: both traces must agree line for line.  The game runs in a
# real window on a private virtual X server and is driven by xdotool.
# A script with option lines plays by its own rules whatever the player's
# settings.ini says, exactly as the runner plays it.
# Usage: record_play_test.sh PATH_TO_SNOWBELTER PATH_TO_SNOWREPLAY
set -uo pipefail
game=$(realpath "$1")
runner=$(realpath "$2")

source "$(dirname "$0")/test_lib.sh"
begin_on_private_display

export TMPDIR=$tmp HOME=$tmp
hold() { xdotool keydown "$1"; sleep "${2:-0.2}"; xdotool keyup "$1"; sleep 0.3; }

"$game" --window --no-settings --record "$tmp/session.replay" --trace "$tmp/game.csv" \
  > "$tmp/game.out" 2>&1 &
pid=$!
find_game_window || { kill $pid; exit 1; }
on_screen() { grep -q "^[0-9]*,$1," "$tmp/game.csv"; }
# The keys are typed once the game reads them: the menu first.
wait_for 30 on_screen menu || fail "the menu never came"
hold Prior                 # music louder
hold Return                # Start Game
wait_for 30 on_screen story || fail "the story never came"
# The story ignores the jump key for its first half second, however long
# that takes here: jump until the round begins (its first frame jumps).
for _ in $(seq 30); do
  on_screen round && break
  hold Control_L
done
hold Right 1               # walk
hold Control_L 0.5         # jump
hold Left 0.5
hold Return                # pause ...
hold Return                # ... and on
sleep 1
# A crash would leave the file as it is now: already a script that plays.
grep -q '^seed ' "$tmp/session.replay" || fail "nothing recorded while playing"
close_with_alt_f4 $pid "the recorded session"
tail -n 1 "$tmp/session.replay" | grep -q '^end [0-9]*$' || fail "the recording has no end line"

mkdir -p "$tmp/runner"
(cd "$tmp/runner" && "$runner" --output "$tmp/runner" "$tmp/session.replay" "$tmp/runner.csv") \
  > "$tmp/runner.out" 2>&1 || fail "the runner did not pass the recording: $(tail -n 2 "$tmp/runner.out")"
grep -q ',round,' "$tmp/game.csv" || fail "the session never reached the round"
diff "$tmp/game.csv" "$tmp/runner.csv" > "$tmp/diff" || fail "the traces differ: $(head -n 6 "$tmp/diff")"

# The rules of a script win over the settings: safe falls on, whatever the
# player chose (the assists the Options screen keeps in settings.ini).
script="$(dirname "$0")/replays/assist_safe_falls.replay"
mkdir -p "$tmp/config/snowbelter" "$tmp/data"
printf '[assists]\nspeed = 50\ntime_limit = 450\nlives = 9\nsafe_falls = no\n' \
  > "$tmp/config/snowbelter/settings.ini"
(cd "$tmp/runner" && "$runner" "$script" "$tmp/rules-runner.csv") > "$tmp/rules-runner.out" 2>&1 ||
  fail "the runner did not pass $script"
XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data \
  "$game" --window --play "$script" --trace "$tmp/rules-game.csv" > "$tmp/rules-game.out" 2>&1 &
pid=$!
find_game_window || { kill $pid; exit 1; }
rules_played() { [ "$(wc -l < "$tmp/rules-game.csv")" -gt 232 ]; }
wait_for 30 rules_played
close_with_alt_f4 $pid "the played script"
lines=$(wc -l < "$tmp/rules-runner.csv")
head -n "$lines" "$tmp/rules-game.csv" | diff - "$tmp/rules-runner.csv" > "$tmp/rules.diff" ||
  fail "--play with settings traced differently from the runner: $(head -n 6 "$tmp/rules.diff")"

# A malformed script is refused before any window opens.
printf 'seed 1\n10 NO_SUCH_KEY\n' > "$tmp/bad.replay"
"$game" --play "$tmp/bad.replay" > "$tmp/bad.out" 2>&1
code=$?
[ $code -eq 2 ] || fail "a malformed script gave exit code $code"
grep -q "^snowbelter: $tmp/bad.replay: line 2: " "$tmp/bad.out" || fail "no line number: $(cat "$tmp/bad.out")"

report_and_exit "record and play: $(wc -l < "$tmp/game.csv") trace lines agree; a bad script is refused with exit 2" \
  "$tmp/session.replay" "$tmp/game.out"
