#!/usr/bin/env bash
# The Windows stage of the test command (the last step of run-tests.sh):
# builds the Windows program, its tests and its packages (tools/build-win.sh)
# and runs them under Wine, on a virtual X server and in a fresh Wine prefix
# of the stage's own, whose user's folder is named in other letters than
# ASCII (so every test also meets such a name in %APPDATA% and %TEMP%):
#   - the unit test programs that run on Windows (cmake/Windows.cmake lists
#     those left out and why) and every replay, by CTest with Wine as the
#     emulator; each replay's pictures must match the references exactly;
#   - every replay's trace byte for byte the Linux runner's (build/);
#   - the installer, the installed game and the uninstaller
#     (tests/windows_install_test.sh).
# Only this prefix's wineserver is stopped at the end.  With --built the
# Windows build is taken as it is (the test command makes it beside the
# plain stage's tests).  Prints each test's time and one summary line; exits
# non-zero when any Windows test failed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
win="$root/build-win"
linux="$root/build"
started=$(date +%s)

if [ -z "${INSIDE_XVFB:-}" ]; then
  if [ "${1:-}" != --built ]; then
    "$root/tools/build-win.sh" || { echo "windows: the Windows build failed"; exit 1; }
  fi
  export INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/snowbelter-wine.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEARCH=win64
# No menu entries or file types of the installed game in the real desktop.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
# SDL's off-screen video needs EGL, which Windows lacks: real windows.
export USER="snöwbelter-tëster" SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=windows
# Mesa's software renderer draws on threads of its own, which under Wine can
# keep a program from ending: it draws on the program's thread.
export LP_NUM_THREADS=0
finish() {
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
failures=()

wineboot -i >/dev/null 2>&1 || { echo "windows: Wine cannot make a prefix"; exit 1; }
wineserver -p   # one server for every program of the stage: each starts at once

# Unit tests and replays.
(cd "$win" && ctest -j2 --timeout 300 --output-on-failure) >"$work/ctest.log" 2>&1 ||
  failures+=("ctest")
grep -E '^ *[0-9]+/[0-9]+ Test +#' "$work/ctest.log"

# The same replays by the Linux runner: the traces must be the same bytes.
compared=()
for script in "$root"/tests/replays/*.replay; do
  name=$(basename "$script" .replay)
  mkdir -p "$work/linux/$name"
  (cd "$work/linux/$name" && SDL_VIDEODRIVER=offscreen "$linux/snowreplay" \
     --output . "$script" trace.csv >/dev/null 2>&1)
  if cmp -s "$work/linux/$name/trace.csv" "$win/tests/replay_runner/$name/trace.csv"; then
    compared+=("$name")
  else
    failures+=("trace of $name")
  fi
done

"$root/tests/windows_install_test.sh" "$(ls "$win"/Snowbelter-*-win64-setup.exe)" \
  >"$work/install.log" 2>&1 || failures+=("installer and window")

seconds=$(( $(date +%s) - started ))
ctest_total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$work/ctest.log")
ctest_failed=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$work/ctest.log")
[ -n "$ctest_total" ] || { ctest_total=1; ctest_failed=1; }
install_failed=0
[[ " ${failures[*]} " == *" installer and window "* ]] && install_failed=1
trace_failed=$(( ${#failures[@]} - install_failed - (ctest_failed > 0 ? 1 : 0) ))
failed=$(( ctest_failed + trace_failed + install_failed ))
passed=$(( ctest_total - ctest_failed + ${#compared[@]} + 1 - install_failed ))
if [ ${#failures[@]} -ne 0 ]; then
  cat "$work/ctest.log" "$work/install.log"
  echo "windows: failed: ${failures[*]}"
else
  echo "windows: ${#compared[@]} traces equal to Linux (${compared[*]}); $(tail -n 1 "$work/install.log"); ${seconds}s"
fi
echo "windows: $passed passed, $failed failed"
[ ${#failures[@]} -eq 0 ]
