#!/usr/bin/env bash
# The built game started as a player starts it, in a real window on a private
# virtual X server: keys are typed with xdotool, the window is closed with
# Alt+F4, and the caption, the log, the exit code and the temporary folder
# are checked.
# Usage: real_window_test.sh PATH_TO_SNOWBELTER
set -uo pipefail
game=$1
source "$(dirname "$0")/test_lib.sh"
begin_on_private_display

export TMPDIR=$tmp
hold() { xdotool keydown "$1"; sleep "${2:-0.3}"; xdotool keyup "$1"; }

"$game" > "$tmp/game.out" 2>&1 &
pid=$!
find_game_window || { kill $pid; exit 1; }
tune_extracted() { ls "$tmp" | grep -q '^sbx.*filler\.mp3$'; }

[ "$(xdotool getwindowname "$window")" = "snowbelter" ] || fail "caption is not snowbelter"
wait_for 20 grep -q "^Init Finalized" "$tmp/ErrorLog.txt" || fail "log lacks Init Finalized"
grep -q "^Init GFX" "$tmp/ErrorLog.txt" || fail "log lacks Init GFX"
# The menu's tune is extracted as the menu starts it.
wait_for 20 tune_extracted || fail "the menu tune was not extracted"

# Start a round (menu -> story -> round) and walk a little.
hold Return
sleep 1
hold Control_L
sleep 1
hold Right 1
kill -0 $pid 2>/dev/null || fail "the game ended while playing"

close_with_alt_f4 $pid "Alt+F4"
[ "$(tail -n 1 "$tmp/ErrorLog.txt" | tr -d '\r')" = "Shut down MRV" ] || fail "log does not end with Shut down MRV"
leftovers=$(ls "$tmp" | grep '^sbx' || true)
[ -z "$leftovers" ] || fail "extracted files left behind: $leftovers"

report_and_exit "real window: caption, log, keys, Alt+F4, exit code and clean-up all fine" \
  "$tmp/game.out" "$tmp/ErrorLog.txt"
