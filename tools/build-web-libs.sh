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
recipe=1

sources=(libsdl2 libsdl2-mixer zlib libpng1.6 libjpeg-turbo lzo2)
versions=""
for s in "${sources[@]}"; do
  v="$(apt-cache showsrc "$s" | awk '/^Version:/ { print $2 }' | sort -uV | tr '\n' ,)"
  [ -n "$v" ] || { echo "build-web-libs: no Debian source for $s" >&2; exit 1; }
  versions+="$s=$v "
done
emver="$(dpkg-query -W -f='${Version}' emscripten)"
key="$(printf '%s emscripten=%s recipe=%s' "$versions" "$emver" "$recipe" |
  sha256sum | cut -c1-16)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/snowbelter-web"
prefix="$cache/$key"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/snowbelter-web-libs.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
log="$cache/$key.log"
: >"$log"
exec 3>&1 1>>"$log" 2>&1
echo "build-web-libs: building into $prefix ($versions)" >&3
cd "$work"
done_with() { [ -f "$prefix/.done-$1" ]; }
# step NAME FUNCTION: builds one library unless it is done already.
step() {
  done_with "$1" && return 0
  echo "build-web-libs: $1" >&3
  "$2"
  touch "$prefix/.done-$1"
}
# The newest source the archive serves: a mirror may list a security update
# whose source it does not hold, and then the version before it is taken.
for s in "${sources[@]}"; do
  done_with "$s" && continue
  fetched=0
  for v in $(apt-cache showsrc "$s" | awk '/^Version:/ { print $2 }' | sort -uVr); do
    if apt-get source -qq "$s=$v"; then
      fetched=1
      break
    fi
  done
  [ $fetched -eq 1 ] || { echo "build-web-libs: cannot fetch the source of $s" >&3; exit 1; }
done

cflags="-O2"
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"

# zlib: its own configure knows a static-only build.
build_zlib() { (
  cd zlib-[0-9]*/ && CFLAGS="$cflags" emconfigure ./configure --static --prefix="$prefix" &&
  emmake make -j"$jobs" libz.a && emmake make install); }
step zlib build_zlib

# LZO and libpng: their sources compiled directly, which is quicker and surer
# than their configure scripts under a cross compiler.
build_lzo2() { (
  cd lzo2-[0-9]*/ &&
  for f in src/*.c; do emcc $cflags -Iinclude -Isrc -c "$f" -o "$(basename "${f%.c}").o"; done &&
  emar rcs "$prefix/lib/liblzo2.a" ./*.o &&
  mkdir -p "$prefix/include/lzo" && cp include/lzo/*.h "$prefix/include/lzo/"); }
step lzo2 build_lzo2
cat >"$prefix/lib/pkgconfig/lzo2.pc" <<PC
prefix=$prefix
Name: lzo2
Description: LZO data compression library
Version: 2
Libs: -L\${prefix}/lib -llzo2
Cflags: -I\${prefix}/include/lzo -I\${prefix}/include
PC
build_libpng1_6() { (
  cd libpng1.6-[0-9]*/ &&
  cp scripts/pnglibconf.h.prebuilt pnglibconf.h &&
  for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset \
    pngtrans pngwio pngwrite pngwtran pngwutil; do
    emcc $cflags -DPNG_ARM_NEON_OPT=0 -I. -I"$prefix/include" -c "$f.c" -o "$f.o"
  done &&
  emar rcs "$prefix/lib/libpng16.a" ./*.o &&
  cp png.h pngconf.h pnglibconf.h "$prefix/include/"); }
step libpng1.6 build_libpng1_6
cat >"$prefix/lib/pkgconfig/libpng.pc" <<PC
prefix=$prefix
Name: libpng
Description: Loads and saves PNG files
Version: 1.6
Requires.private: zlib
Libs: -L\${prefix}/lib -lpng16 -lz
Cflags: -I\${prefix}/include
PC

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
# CPU probing, which wasm cannot do.
build_libsdl2() { (
  cd libsdl2-[0-9]*/ && emconfigure ./configure --host=wasm32-unknown-emscripten \
  --prefix="$prefix" --disable-shared --enable-static --disable-assembly \
  --disable-pthreads --disable-cpuinfo CFLAGS="$cflags" &&
  emmake make -j"$jobs" && emmake make install); }
step libsdl2 build_libsdl2

# SDL2_mixer: WAV and the bundled dr_mp3 only, the formats the game ships.
# Debian's source has no configure script (Debian makes it at build time),
# and every codec is one file guarded by its own switch: compiled directly.
build_libsdl2_mixer() { (
  cd libsdl2-mixer-[0-9]*/ &&
  for f in src/*.c src/codecs/*.c; do
    emcc $cflags -DMUSIC_WAV -DMUSIC_MP3_DRMP3 -Iinclude -Isrc -Isrc/codecs \
      -I"$prefix/include/SDL2" -c "$f" -o "$(basename "${f%.c}").o"
  done &&
  emar rcs "$prefix/lib/libSDL2_mixer.a" ./*.o &&
  cp include/SDL_mixer.h "$prefix/include/SDL2/"); }
step libsdl2-mixer build_libsdl2_mixer

touch "$prefix/.complete"
echo "build-web-libs: done" >&3
echo "$prefix" >&3
