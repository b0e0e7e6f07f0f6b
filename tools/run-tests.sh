#!/usr/bin/env bash
# Installs what is missing, builds Snowbelter and runs every test twice:
# first built with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/, with every fuzz corpus run once as a test), then the plain
# build (build/) together with the browser build (build-web/) in headless
# Chromium, then the Windows build under Wine (tools/run-windows-tests.sh),
# whose "windows: N passed, N failed" is the last line.  A failing run stops
# there, with its own summary last.
# A test that fails is run once more before it counts as failed (its first
# failure stays in the output; a real fault fails both times): on two shared
# cores a browser test now and then misses a deadline of its own, and about
# one sanitized test in four hundred passes and then loses its leak check to
# LeakSanitizer's own crash at exit ("Tracer caught signal 11").
# Without a display the tests run under a virtual X server (Xvfb) with Mesa's
# software renderer; audio uses SDL's dummy driver when there is no device.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/build.sh"
xvfb=()
if [ -z "${DISPLAY:-}" ]; then
  xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi

# Leaks in our code are errors; those inside libraries that are not ours are
# suppressed (tests/sanitizers/lsan.supp names each).
# Libraries stay loaded to the end (keep_libraries_loaded.c), so every leak
# names the library it happened in.  Undefined behaviour stops the program at
# once.  The style and analysis checks read the sources, the install checks
# run the installed game as another user with a cleared environment or make
# a build of their own, the two real-window checks press keys by the clock
# while a sanitized game starts several times slower, and the browser checks
# play the WebAssembly build: the plain run covers them.
sanitizer_suite() {
  local sanitizers="$root/tests/sanitizers" keep="$root/build-asan/keep-libraries-loaded.so"
  cd "$root"
  cmake --preset asan -DSNOWBELTER_FUZZ=ON >/dev/null
  cmake --build --preset asan -j"$(nproc)"
  cc -shared -fPIC -o "$keep" "$sanitizers/keep_libraries_loaded.c"
  cd "$root/build-asan"
  LD_PRELOAD="$keep" \
    ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0:check_initialization_order=1 \
    LSAN_OPTIONS=suppressions="$sanitizers/lsan.supp":print_suppressions=0 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "${xvfb[@]}" ctest --output-on-failure -j2 --repeat until-pass:2 \
    -E '^(house_style|static_analysis|install_tree|installed_game|deb_package|real_window|comforts_window|web_.*)$'
}

sanitizer_suite
"$root/tools/build-web.sh"
cd "$root/build"
"${xvfb[@]}" ctest --output-on-failure -j2 --repeat until-pass:2
"$root/tools/run-windows-tests.sh"
