# test_lib.sh - what the shell tests share: a scratch folder that goes away
# on exit together with whatever the test started, failures counted (fail)
# or fatal (die), the closing summary, and for the tests that open the
# game's window a private virtual X server, finding the window and closing
# it as a player does.
#
# Sourced (not run) by the shell tests under tests/, which call begin_test,
# or begin_on_private_display when the game opens a window.  Works with and
# without "set -e".  Not for what a test checks: that stays in the test.

failures=0
exit_steps=()
x_servers_started=0

# Makes $tmp, a fresh folder removed on exit after the steps on_exit names,
# and sends sound to SDL's dummy driver.
begin_test() {
  tmp=$(mktemp -d)
  trap run_exit_steps EXIT
  export SDL_AUDIODRIVER=dummy
}

# begin_test on an X server of the test's own (start_x), unless the caller
# runs its tests on one private display already (INSIDE_XVFB, as
# tools/run-windows-tests.sh does, whose Wine prefix lives on that display).
begin_on_private_display() {
  begin_test
  [ -n "${INSIDE_XVFB:-}" ] || start_x
}

# on_exit COMMAND: one more step for the end of the test (a server to stop),
# run before the scratch folder is removed.
on_exit() { exit_steps+=("$1"); }

run_exit_steps() {
  local step
  for step in "${exit_steps[@]}"; do eval "$step" 2>/dev/null || true; done
  rm -rf "$tmp"
}

# wait_for SECONDS COMMAND...: true as soon as COMMAND succeeds, tried every
# tenth of a second; false when it has not within SECONDS.  A test waits
# for what it needs to see, never for a fixed time, which a busy machine
# can outlast.
wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
die() { echo "FAIL: $*"; exit 1; }

# start_x [XVFB_ARGUMENT...]: an X server of the test's own, stopped on exit,
# with DISPLAY pointing at it.  The server picks a free display itself and
# says which once it listens (-displayfd), so servers that tests start at
# the same moment never reach for the same number.  Extra arguments go to
# Xvfb (start_failures_test.sh asks for one without GLX).
start_x() {
  local said="$tmp/x-server-$x_servers_started" server
  x_servers_started=$((x_servers_started + 1))
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp "$@" 3>"$said" 2>"$said.log" &
  server=$!
  on_exit "kill $server"
  for _ in $(seq 100); do
    [ -s "$said" ] && break
    kill -0 "$server" 2>/dev/null || { cat "$said.log"; die "Xvfb did not start"; }
    sleep 0.1
  done
  [ -s "$said" ] || die "Xvfb named no display"
  export DISPLAY=":$(head -n 1 "$said")"
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

# Ends the test: after any failure, shows the named files and exits 1;
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
