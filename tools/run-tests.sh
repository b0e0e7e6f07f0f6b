#!/usr/bin/env bash
# The test command: installs what is missing, builds Snowbelter and runs
# every test once, in stages:
#   install     every package the builds and tests need (tools/install-*.sh)
#   commands    every command the scripts call is installed by those scripts
#               or is in a minimal Debian 12 (tools/check-commands.py)
#   build       the desktop build (tools/build.sh, into build/)
#   sanitizers  the whole suite built with AddressSanitizer and
#               UndefinedBehaviorSanitizer (build-asan/), every fuzz corpus
#               included
#   web-build   the browser build (tools/build-web.sh, into build-web/)
#   plain       the plain build's tests and the browser's in Chromium,
#               Firefox and WebKit (CTest in build/); the Windows build
#               (tools/build-win.sh) is made beside them, at a lower priority
#   windows     the Windows tests under Wine (tools/run-windows-tests.sh)
# Name stages to run only those (and the builds they stand on), e.g.
# "tools/run-tests.sh plain".  A failing stage ends the run.  No test is
# run a second time: one that fails now and then is a fault to find.
# Ends with each stage's minutes, the five slowest tests and one summary
# line, "total: N passed, N failed, N skipped".
# Without a display the tests run under a virtual X server (Xvfb) with Mesa's
# software renderer; audio uses SDL's dummy driver when there is no device.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
logs="$root/build/test-logs"
xvfb=()
if [ -z "${DISPLAY:-}" ]; then
  xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=(sanitizers plain windows)

# --- Bookkeeping: stage times, test times and counts --------------------------
stage_names=() stage_seconds=()
passed=0 failed=0 skipped=0

wants() {
  local stage
  for stage in "${wanted[@]}"; do [ "$stage" = "$1" ] && return 0; done
  return 1
}

# Runs a stage and notes its time, also when it fails.
stage() {
  local name=$1 started=$SECONDS status=0
  shift
  echo "=== $name"
  "$@" || status=$?
  stage_names+=("$name")
  stage_seconds+=($((SECONDS - started)))
  return $status
}

# Adds a CTest log's counts to the totals: "N% tests passed, F tests failed
# out of T", less those that did not run (skipped).
count_ctest_log() {
  local total failures skips
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -n 1)
  failures=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$1" | tail -n 1)
  skips=$(grep -c -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped ' "$1" || true)
  passed=$((passed + ${total:-0} - ${failures:-0} - skips))
  failed=$((failed + ${failures:-1}))
  skipped=$((skipped + skips))
}

# Each test's seconds, "SECONDS NAME (STAGE)", from a CTest log.
test_times() {
  sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .* \([0-9.]*\) sec$/\2 \1/p' "$2" |
    sed "s/\$/ ($1)/"
}

minutes() {
  printf '%-15s %3d.%d\n' "$1" $(($2 / 60)) $(($2 % 60 * 10 / 60))
}

report() {
  local status=$? i
  set +e   # the summary line comes whatever else fails
  echo
  echo "stage          minutes"
  for i in "${!stage_names[@]}"; do minutes "${stage_names[$i]}" "${stage_seconds[$i]}"; done
  minutes all $SECONDS
  local times=()
  for log in sanitizers plain windows; do
    [ -f "$logs/$log.log" ] && mapfile -t -O ${#times[@]} times < <(test_times "$log" "$logs/$log.log")
  done
  if [ ${#times[@]} -gt 0 ]; then
    echo "Slowest tests (seconds):"
    printf '%s\n' "${times[@]}" | sort -rn | awk 'NR <= 5 { print "  " $0 }'
  fi
  [ $status -eq 0 ] || [ $failed -gt 0 ] || failed=1
  echo "total: $passed passed, $failed failed, $skipped skipped"
  exit $status
}

# --- The stages ---------------------------------------------------------------
# (The stages' functions chain their steps with &&: a function called where
# its status is tested runs without set -e.)
install_everything() {
  "$root/tools/install-deps.sh" --windows && "$root/tools/install-web-deps.sh"
}

# Leaks in our code are errors; those inside libraries that are not ours are
# suppressed (tests/sanitizers/lsan.supp names each).
# Libraries stay loaded to the end (keep_libraries_loaded.c), so every leak
# names the library it happened in.  Undefined behaviour stops the program at
# once.  The sanitizer runtime leaves glibc's hand-out of thread-local
# storage alone (intercept_tls_get_addr=0): its own handling misreads some
# of the blocks Mesa's libraries get, and the leak check's tracer then
# crashed at exit now and then ("Tracer caught signal 11").
# The style, analysis and command checks read the sources, the install
# checks run the installed game as another user with a cleared environment
# or make a build of their own, the two real-window checks press keys by the
# clock while a sanitized game starts several times slower, and the browser
# checks play the WebAssembly build: the plain run covers them.
sanitizer_build() {
  cmake --preset asan -DSNOWBELTER_FUZZ=ON >/dev/null &&
    cmake --build --preset asan -j"$(nproc)" &&
    cc -shared -fPIC -o "$root/build-asan/keep-libraries-loaded.so" "$root/tests/sanitizers/keep_libraries_loaded.c"
}

sanitizer_tests() {
  local sanitizers="$root/tests/sanitizers"
  cd "$root/build-asan" &&
    LD_PRELOAD="$root/build-asan/keep-libraries-loaded.so" \
    ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0:check_initialization_order=1:intercept_tls_get_addr=0 \
    LSAN_OPTIONS=suppressions="$sanitizers/lsan.supp":print_suppressions=0 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "${xvfb[@]}" ctest --output-on-failure -j2 \
    -E '^(house_style|static_analysis|command_check|install_tree|installed_game|deb_package|real_window|comforts_window|web_.*)$' \
    2>&1 | tee "$logs/sanitizers.log"
}

# The Windows build takes its turn on the processor while the tests above
# wait on browsers and windows; its output is shown only when it fails.
start_windows_build() {
  nice -n 10 "$root/tools/build-win.sh" >"$logs/build-win.log" 2>&1 &
  windows_build=$!
}

plain_tests() {
  local status=0
  wants windows && start_windows_build
  (cd "$root/build" && "${xvfb[@]}" ctest --output-on-failure -j2 2>&1 | tee "$logs/plain.log") || status=$?
  if wants windows && ! wait "$windows_build"; then
    cat "$logs/build-win.log"
    echo "windows: the Windows build failed"
    return 1
  fi
  return $status
}

windows_tests() {
  local built=()
  wants plain && built=(--built)
  "$root/tools/run-windows-tests.sh" "${built[@]}" 2>&1 | tee "$logs/windows.log"
}

trap report EXIT
# Stopped by a signal, the run counts as failed, not as a run of no tests.
trap 'exit 130' INT
trap 'exit 143' TERM
stage install install_everything
stage commands python3 "$root/tools/check-commands.py"
stage build "$root/tools/build.sh"
mkdir -p "$logs"
rm -f "$logs"/*.log
status=0
if wants sanitizers; then
  stage sanitizer-build sanitizer_build
  stage sanitizers sanitizer_tests || status=$?
  count_ctest_log "$logs/sanitizers.log"
  [ $status -eq 0 ]
fi
if wants plain; then
  stage web-build "$root/tools/build-web.sh"
  stage plain plain_tests || status=$?
  count_ctest_log "$logs/plain.log"
  [ $status -eq 0 ]
fi
if wants windows; then
  stage windows windows_tests || status=$?
  # The stage's last line: "windows: N passed, N failed".
  read -r _ win_passed _ win_failed _ < <(tail -n 1 "$logs/windows.log")
  passed=$((passed + ${win_passed:-0}))
  failed=$((failed + ${win_failed:-1}))
  [ $status -eq 0 ]
fi
