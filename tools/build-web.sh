#!/usr/bin/env bash
# Builds Snowbelter for the browser into build-web/: snowbelter.html with its
# .js, .wasm and .data (the media archives and the replay scripts). Installs
# what is missing first (tools/install-web-deps.sh), takes the WebAssembly
# libraries from the cache or builds them (tools/build-web-libs.sh), and
# takes the media archives from the desktop build in build/, building that
# first when it is missing. tools/serve-web.sh serves the result.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-web"
# Debian's node finds Emscripten's JavaScript modules (acorn) only here.
export NODE_PATH=/usr/share/nodejs

"$root/tools/install-web-deps.sh"
libs="$("$root/tools/build-web-libs.sh" | tail -n 1)"

if [ -f "$root/build/CMakeCache.txt" ]; then
  cmake --build "$root/build" --target media -j2 >/dev/null
else
  "$root/tools/build.sh"
fi

if [ ! -f "$out/CMakeCache.txt" ]; then
  emcmake cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release \
    -DSNOWBELTER_WEB_LIBS="$libs" -DSNOWBELTER_WEB_MEDIA="$root/build/media" \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/node;--no-experimental-fetch" >/dev/null
else
  cmake "$out" -DSNOWBELTER_WEB_LIBS="$libs" >/dev/null
fi
cmake --build "$out" --target snowbelter -j2
echo "build-web: $out/snowbelter.html (tools/serve-web.sh serves it)"
