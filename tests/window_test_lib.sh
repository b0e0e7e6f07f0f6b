# window_test_lib.sh - what the real-window test scripts share: a private
# virtual X server, a scratch folder that goes away on exit, finding the
# game's window, closing it as a player does, and counting failures.
#
# Sourced (not run) by real_window_test.sh, comforts_window_test.sh,
# record_play_test.sh and start_failures_test.sh, which then call
# begin_on_private_display (or begin_window_test, to start X servers of
# their own).

# Makes $tmp, a fresh folder removed on exit together with any X server
# start_x began, sets failures to 0 and sends sound to SDL's dummy driver.
begin_window_test() {
  tmp=$(mktemp -d)
  x_servers=()
  trap remove_scratch EXIT
  export SDL_AUDIODRIVER=dummy
  failures=0
}

# Runs the calling script again under xvfb-run, once, so the game's window
# opens on a display of its own, then begins the test there.  Call it first,
# with the script's arguments.
begin_on_private_display() {
  if [ -z "${INSIDE_XVFB:-}" ]; then
    export INSIDE_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
  fi
  begin_window_test
}

remove_scratch() {
  local server
  for server in "${x_servers[@]}"; do kill "$server" 2>/dev/null; done
  rm -rf "$tmp"
}

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Starts an X server of our own with extra arguments on a free display and
# points DISPLAY at it; start_failures_test.sh needs servers without GLX.
start_x() {
  local n
  for n in $(seq 70 99); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp "$@" >/dev/null 2>&1 &
    x_servers+=($!)
    for _ in $(seq 50); do xdpyinfo -display ":$n" >/dev/null 2>&1 && break; sleep 0.1; done
    export DISPLAY=":$n"
    return 0
  done
  echo "no free X display"; exit 1
}

# Waits for the game's window, focuses it and sets $window; false (with a
# failure counted) when none opens within 20 seconds.
find_game_window() {
  window=$(timeout 20 xdotool search --sync --name '^snowbelter$' | head -n 1)
  [ -n "$window" ] || { fail "no window with the caption snowbelter"; return 1; }
  xdotool windowfocus --sync "$window"
}

# Closes the game with Alt+F4, as a player would, and checks that process
# $1 ends within ten seconds with exit code 0; $2 names the run in failures.
close_with_alt_f4() {
  local pid=$1 what=$2
  xdotool keydown Alt_L keydown F4; sleep 0.3; xdotool keyup F4 keyup Alt_L
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null && { fail "$what: Alt+F4 did not end the game"; kill -9 "$pid"; }
  wait "$pid"
  local code=$?
  [ $code -eq 0 ] || fail "$what: exit code $code"
}

# Ends the script: after any failure, shows the named files and exits 1;
# otherwise prints the one-line summary $1.
report_and_exit() {
  local summary=$1 file
  shift
  if [ $failures -ne 0 ]; then
    for file in "$@"; do echo "--- $file"; cat "$file" 2>/dev/null; done
    exit 1
  fi
  echo "$summary"
}
