#!/usr/bin/env bash
# Builds the C libraries the Windows build links (SDL2, SDL2_mixer, libpng,
# libjpeg-turbo, LZO, and GoogleTest for the tests) as static 64-bit Windows
# libraries with mingw-w64, from Debian's own source packages, and prints
# the folder that holds them.  zlib is Debian's libz-mingw-w64-dev.
#
# The result is kept outside the clone, under
# ${XDG_CACHE_HOME:-~/.cache}/snowbelter-win/<key>, where the key names the
# package versions, the compiler's version and the recipe below, so a
# second build (or a second clone) takes it as it is.  Each library is marked
# done as it is installed there, so a build cut short goes on where it
# stopped.  The recipes the browser build shares are in tools/lib-recipes.sh.
# Called by tools/build-win.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${SNOWBELTER_JOBS:-2}"
# Raise when the way the libraries are built changes: a new cache folder.
recipe=1
host=x86_64-w64-mingw32

sources=(libsdl2 libsdl2-mixer libpng1.6 libjpeg-turbo lzo2)
. "$root/tools/lib-recipes.sh"
versions="$(source_versions "${sources[@]}")"
ccver="$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix)"
gtestver="$(dpkg-query -W -f='${Version}' googletest)"
enter_cache win "$(printf '%s mingw=%s googletest=%s recipe=%s' "$versions" "$ccver" "$gtestver" "$recipe")"
fetch_sources "${sources[@]}"

cflags="-O2"
lib_cc="$host-gcc-posix"
lib_ar="$host-ar"

step lzo2 build_lzo2
step libpng1.6 build_libpng1_6
write_lzo_and_png_pc_files

# CMake projects, cross-compiled: Windows as the system, the -posix compilers.
cross_cmake() {
  cmake -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
    -DCMAKE_C_COMPILER="$host-gcc-posix" -DCMAKE_CXX_COMPILER="$host-g++-posix" \
    -DCMAKE_RC_COMPILER="$host-windres" -DCMAKE_FIND_ROOT_PATH=/usr/$host \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib "$@"
}

# libjpeg-turbo without its SIMD code, which needs nasm.
build_libjpeg_turbo() { (
  cd libjpeg-turbo-[0-9]*/ && cross_cmake -S . -B win -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF &&
  cmake --build win -j"$jobs" --target jpeg-static &&
  cp win/libjpeg.a "$prefix/lib/" &&
  cp jpeglib.h jerror.h jmorecfg.h win/jconfig.h "$prefix/include/"); }
step libjpeg-turbo build_libjpeg_turbo

# SDL2: its configure knows mingw-w64; static only.
build_libsdl2() { (
  cd libsdl2-[0-9]*/ && ./configure --host="$host" --prefix="$prefix" \
    --disable-shared --enable-static CC="$host-gcc-posix" CFLAGS="$cflags" &&
  make -j"$jobs" && make install); }
step libsdl2 build_libsdl2

step libsdl2-mixer build_libsdl2_mixer

# GoogleTest, for the unit tests run under Wine: Debian's own source of the
# version the desktop tests use.
build_googletest() {
  cross_cmake -S /usr/src/googletest -B googletest -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF &&
    cmake --build googletest -j"$jobs" && cmake --install googletest
}
step googletest build_googletest

touch "$prefix/.complete"
echo "build-win-libs: done" >&3
echo "$prefix" >&3
