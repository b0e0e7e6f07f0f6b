# Sourced by tools/build-web-libs.sh and tools/build-win-libs.sh: the parts
# of building the game's C libraries from Debian's source packages that the
# browser and the Windows builds share.
#
# The caller calls enter_cache first, then sets:
#   lib_cc   the C compiler (emcc, x86_64-w64-mingw32-gcc-posix)
#   lib_ar   the archiver (emar, x86_64-w64-mingw32-ar)
#   cflags   the C compiler's options
# (enter_cache leaves it in the folder the sources are unpacked into, with
# fd 3 the terminal.)

# The versions of the named source packages, as "name=v1,v2, ..." (every
# version the archive lists, so a new one makes a new cache key).
source_versions() {
  local s v out=""
  for s in "$@"; do
    v="$(apt-cache showsrc "$s" | awk '/^Version:/ { print $2 }' | sort -uV | tr '\n' ,)"
    [ -n "$v" ] || { echo "no Debian source for $s" >&2; return 1; }
    out+="$s=$v "
  done
  printf '%s' "$out"
}

# enter_cache NAME TEXT: the cache folder of the libraries TEXT describes,
# ~/.cache/snowbelter-NAME/<hash of TEXT>.  When they are built already,
# prints it and ends the script; otherwise sets prefix, sends everything but
# fd 3 to the log beside it and moves into a scratch folder removed at exit.
enter_cache() {
  local cache="${XDG_CACHE_HOME:-$HOME/.cache}/snowbelter-$1" key
  key="$(printf '%s' "$2" | sha256sum | cut -c1-16)"
  prefix="$cache/$key"
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi
  work="$(mktemp -d "${TMPDIR:-/tmp}/snowbelter-$1-libs.XXXXXX")"
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
  log="$cache/$key.log"
  : >"$log"
  exec 3>&1 1>>"$log" 2>&1
  echo "build-$1-libs: building into $prefix (log: $log)" >&3
  cd "$work"
}

done_with() { [ -f "$prefix/.done-$1" ]; }

# step NAME FUNCTION: builds one library unless it is done already.
step() {
  done_with "$1" && return 0
  echo "  $1" >&3
  "$2"
  touch "$prefix/.done-$1"
}

# The newest source the archive serves: a mirror may list a security update
# whose source it does not hold, and then the version before it is taken.
fetch_sources() {
  local s v fetched
  for s in "$@"; do
    done_with "$s" && continue
    fetched=0
    for v in $(apt-cache showsrc "$s" | awk '/^Version:/ { print $2 }' | sort -uVr); do
      if apt-get source -qq "$s=$v"; then
        fetched=1
        break
      fi
    done
    [ $fetched -eq 1 ] || { echo "cannot fetch the source of $s" >&3; return 1; }
  done
}

# LZO and libpng: their sources compiled directly, which is quicker and surer
# than their configure scripts under a cross compiler.
build_lzo2() { (
  cd lzo2-[0-9]*/ &&
  for f in src/*.c; do $lib_cc $cflags -Iinclude -Isrc -c "$f" -o "$(basename "${f%.c}").o"; done &&
  $lib_ar rcs "$prefix/lib/liblzo2.a" ./*.o &&
  mkdir -p "$prefix/include/lzo" && cp include/lzo/*.h "$prefix/include/lzo/"); }

build_libpng1_6() { (
  cd libpng1.6-[0-9]*/ &&
  cp scripts/pnglibconf.h.prebuilt pnglibconf.h &&
  for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset \
    pngtrans pngwio pngwrite pngwtran pngwutil; do
    $lib_cc $cflags -DPNG_ARM_NEON_OPT=0 -I. -I"$prefix/include" -c "$f.c" -o "$f.o"
  done &&
  $lib_ar rcs "$prefix/lib/libpng16.a" ./*.o &&
  cp png.h pngconf.h pnglibconf.h "$prefix/include/"); }

# SDL2_mixer: WAV and the bundled dr_mp3 only, the formats the game ships.
# Debian's source has no configure script (Debian makes it at build time),
# and every codec is one file guarded by its own switch: compiled directly.
build_libsdl2_mixer() { (
  cd libsdl2-mixer-[0-9]*/ &&
  for f in src/*.c src/codecs/*.c; do
    $lib_cc $cflags -DMUSIC_WAV -DMUSIC_MP3_DRMP3 -Iinclude -Isrc -Isrc/codecs \
      -I"$prefix/include/SDL2" -c "$f" -o "$(basename "${f%.c}").o"
  done &&
  $lib_ar rcs "$prefix/lib/libSDL2_mixer.a" ./*.o &&
  cp include/SDL_mixer.h "$prefix/include/SDL2/"); }

# The pkg-config files of the two libraries built without their own scripts.
write_lzo_and_png_pc_files() {
  cat >"$prefix/lib/pkgconfig/lzo2.pc" <<PC
prefix=$prefix
Name: lzo2
Description: LZO data compression library
Version: 2
Libs: -L\${prefix}/lib -llzo2
Cflags: -I\${prefix}/include/lzo -I\${prefix}/include
PC
  cat >"$prefix/lib/pkgconfig/libpng.pc" <<PC
prefix=$prefix
Name: libpng
Description: Loads and saves PNG files
Version: 1.6
Requires.private: zlib
Libs: -L\${prefix}/lib -lpng16 -lz
Cflags: -I\${prefix}/include
PC
}
