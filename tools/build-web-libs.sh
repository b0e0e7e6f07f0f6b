#!/usr/bin/env bash
# Builds the C libraries the browser build links (SDL2, SDL2_mixer, zlib,
# libpng, libjpeg-turbo, LZO) as static WebAssembly libraries, from Debian's
# own source packages, and prints the folder that holds them.
#
# Emscripten's ports download their sources at build time, which a machine
# without the internet cannot do; Debian's sources come through apt like
# everything else. The result is kept outside the clone, under
# ${XDG_CACHE_HOME:-~/.cache}/snowbelter-web/<key>, where the key names the
# package versions, the Emscripten version and the recipe below, so a second
# build (or a second clone) takes it as it is. Each library is marked done
# as it is installed there, so a build cut short goes on where it stopped.
# Called by tools/build-web.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export NODE_PATH=/usr/share/nodejs
jobs="${SNOWBELTER_JOBS:-2}"
# Raise when the way the libraries are built changes: a new cache folder.
recipe=2

sources=(libsdl2 libsdl2-mixer zlib libpng1.6 libjpeg-turbo lzo2)
. "$root/tools/lib-recipes.sh"
versions="$(source_versions "${sources[@]}")"
emver="$(dpkg-query -W -f='${Version}' emscripten)"
enter_cache web "$(printf '%s emscripten=%s recipe=%s' "$versions" "$emver" "$recipe")"
fetch_sources "${sources[@]}"

# Small over fast: every byte of the libraries is downloaded before the
# menu can show, and a frame spends little of its time in them.
cflags="-Oz"
lib_cc=emcc
lib_ar=emar
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"

# zlib: its own configure knows a static-only build.
build_zlib() { (
  cd zlib-[0-9]*/ && CFLAGS="$cflags" emconfigure ./configure --static --prefix="$prefix" &&
  emmake make -j"$jobs" libz.a && emmake make install); }
step zlib build_zlib

step lzo2 build_lzo2
step libpng1.6 build_libpng1_6
write_lzo_and_png_pc_files

# libjpeg-turbo: CMake, without the SIMD code (there is none for wasm). Its
# type-size probes run a test program, which under Emscripten reports
# nonsense; wasm32's sizes are given instead.
build_libjpeg_turbo() { (
  cd libjpeg-turbo-[0-9]*/ && emcmake cmake -S . -B wasm -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib -DENABLE_SHARED=OFF \
  -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF \
  -DSIZE_T=4 -DHAVE_SIZE_T=TRUE -DUNSIGNED_LONG=4 -DHAVE_UNSIGNED_LONG=TRUE &&
  cmake --build wasm -j"$jobs" --target jpeg-static &&
  cp wasm/libjpeg.a "$prefix/lib/" &&
  cp jpeglib.h jerror.h jmorecfg.h wasm/jconfig.h "$prefix/include/"); }
step libjpeg-turbo build_libjpeg_turbo

# SDL2: its configure knows Emscripten; no threads (the game has none) and no
# CPU probing, which wasm cannot do.  Nor what the game never asks SDL for:
# the 2D renderer, haptics, sensors, power, locales and opening links; and
# SDL's own text conversion in place of the C library's iconv, whose tables
# of Asian code pages alone weigh 135 KB.
build_libsdl2() { (
  cd libsdl2-[0-9]*/ && emconfigure ./configure --host=wasm32-unknown-emscripten \
  --prefix="$prefix" --disable-shared --enable-static --disable-assembly \
  --disable-pthreads --disable-cpuinfo --disable-render --disable-haptic --disable-sensor \
  --disable-power --disable-locale --disable-misc --disable-iconv CFLAGS="$cflags" &&
  emmake make -j"$jobs" && emmake make install); }
step libsdl2 build_libsdl2

step libsdl2-mixer build_libsdl2_mixer

touch "$prefix/.complete"
echo "build-web-libs: done" >&3
echo "$prefix" >&3
