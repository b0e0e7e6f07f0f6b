#!/usr/bin/env bash
# The player's comforts in a real window on a private virtual X server,
# driven by xdotool as a player would:
#   - --window opens a window smaller than the screen; Alt+Enter makes it
#     cover the screen and brings it back;
#   - a first run redefines the jump key and raises the music (a script the
#     game plays itself) and ends in a window; a second run with no options
#     starts in a window and plays with the saved jump key;
#   - a damaged settings file still starts the game, and says so in the log.
# Usage: comforts_window_test.sh PATH_TO_SNOWBELTER
set -uo pipefail
game=$(realpath "$1")
data=$(dirname "$game")

source "$(dirname "$0")/test_lib.sh"
begin_on_private_display

# The program runs from a folder of its own, so its screenshots land there.
mkdir -p "$tmp/bin" "$tmp/home" "$tmp/temp"
cp "$game" "$tmp/bin/snowbelter"
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" TMPDIR="$tmp/temp"
settings="$tmp/config/snowbelter/settings.ini"
# Holds each chord for a few frames (a key up and down within one frame is
# never seen: the game reads the keyboard once a frame).
press() {
  local chord
  for chord in "$@"; do
    xdotool keydown ${chord//+/ keydown }   # "alt+Return": both keys, chained
    sleep 0.12
    xdotool keyup ${chord//+/ keyup }
    sleep 0.5
  done
}
size_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }

start() {
  "$tmp/bin/snowbelter" --data-dir "$data" "$@" > "$tmp/out" 2>&1 &
  pid=$!
  find_game_window || return 1
  sleep 1.5
}

finish() { close_with_alt_f4 $pid "$1"; }

# First run: a window; a script played by the game itself (so no key press
# depends on the machine's speed) raises the music and moves jump to W on
# the key screen; then the switch both ways by xdotool.
cat > "$tmp/redefine.replay" <<'SCRIPT'
15 PAGE_UP
30 CURSOR_DOWN
42 ENTER
62 CURSOR_DOWN
72 CURSOR_DOWN
82 CURSOR_DOWN
92 CURSOR_DOWN
102 ENTER
112 W
124 ESC
end 130
SCRIPT
start --window --play "$tmp/redefine.replay" --trace "$tmp/first.csv"
[ "$(size_of "$window")" = "960x720" ] || fail "--window opened $(size_of "$window"), not 960x720"
# The script's last frame (the trace has a header line), then the keyboard
# is the player's.
script_done() { [ "$(wc -l < "$tmp/first.csv")" -gt 131 ]; }
wait_for 30 script_done || fail "the script did not play to its end"
sized() { [ "$(size_of "$window")" = "$1" ]; }
# With no window manager to hand it back, the keyboard focus is given to the
# window again after each switch.
press alt+Return
wait_for 10 sized 1280x1024 || fail "Alt+Enter gave $(size_of "$window"), not the whole screen"
xdotool windowfocus --sync "$window"
press alt+Return
wait_for 10 sized 960x720 || fail "the second Alt+Enter gave $(size_of "$window")"
xdotool windowfocus --sync "$window"
finish "first run"
grep -q '^jump = 17 ' "$settings" || fail "the settings do not hold jump = W"
grep -q '^music_volume = 0.10$' "$settings" && fail "the settings do not hold the louder music"
grep -q '^fullscreen = no$' "$settings" || fail "the settings do not hold the window"

# Second run, no display option: a window again, and W (in a script the game
# plays itself) leaves the story, which only the saved jump key does.
cat > "$tmp/start.replay" <<'SCRIPT'
35 ENTER
80 W
95 SPACE
end 100
SCRIPT
start --play "$tmp/start.replay"
[ "$(size_of "$window")" = "960x720" ] || fail "the second run did not open in a window"
wait_for 30 test -f "$tmp/bin/temp.BMP"
finish "second run"
[ -f "$tmp/bin/temp.BMP" ] || fail "W did not start the round (no screenshot from the round)"

# Third run: a damaged settings file.
head -c 3000 /dev/urandom > "$settings"
start
kill -0 $pid 2>/dev/null || fail "a damaged settings file stopped the game"
finish "damaged settings"
grep -q '^Settings: ' "$tmp/temp/ErrorLog.txt" || fail "the log does not mention the damaged settings"

report_and_exit "comforts: window size, Alt+Enter both ways, settings kept and used, damaged settings survived" \
  "$tmp/out" "$tmp/temp/ErrorLog.txt"
