#!/usr/bin/env bash
# Builds Snowbelter for 64-bit Windows into build-win/: snowbelter.exe
# (statically linked, a GUI program with the game's icon and version), the
# tests that run under Wine, and the two packages:
#   snowbelter-win64-VERSION.zip         unpack anywhere and play
#   Snowbelter-VERSION-win64-setup.exe   installer (Start menu, uninstaller)
# Installs what is missing first (tools/install-deps.sh --windows), takes the
# Windows libraries from the cache or builds them (tools/build-win-libs.sh),
# and takes the media archives and the icons from the desktop build in
# build/, building that first when it is missing.
# tools/run-windows-tests.sh runs the result under Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-win"

"$root/tools/install-deps.sh" --windows
libs="$("$root/tools/build-win-libs.sh" | tail -n 1)"

if [ -f "$root/build/CMakeCache.txt" ]; then
  cmake --build "$root/build" --target media -j2 >/dev/null
else
  "$root/tools/build.sh"
fi

# ccache, when there, is the top CMakeLists' to set up, as for the desktop.
if [ ! -f "$out/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/Windows.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNOWBELTER_WIN_LIBS="$libs" \
    -DSNOWBELTER_WIN_MEDIA="$root/build" -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
else
  cmake "$out" -DSNOWBELTER_WIN_LIBS="$libs" >/dev/null
fi
cmake --build "$out" -j2
# The program and the replay runner find their media beside them.
mkdir -p "$out/media"
cp -u "$root/build/media/gfx.sbx" "$root/build/media/sfx.sbx" "$out/media/"

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")"
rm -f "$out"/snowbelter-win64-*.zip "$out"/Snowbelter-*-win64-setup.exe
(cd "$out" && cpack >/dev/null)
for made in "snowbelter-win64-$version.zip" "Snowbelter-$version-win64-setup.exe"; do
  [ -f "$out/$made" ] || { echo "build-win: cpack made no $made" >&2; exit 1; }
  echo "build-win: $out/$made, $(du -k "$out/$made" | cut -f1) KB"
done
