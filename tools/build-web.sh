#!/usr/bin/env bash
# Builds Snowbelter for the browser into build-web/: snowbelter.html with its
# .js, .wasm and .data (the picture archive and the replay scripts), the
# music archive (sfx.sbx, which the page fetches once the game runs), the
# page's own files from web/, the icons and the title picture from the
# desktop build's media, the service worker (sw.js, its cache named by the
# version and a hash of every other file), a Brotli (.br) and a gzip (.gz)
# copy of each file that compresses (tools/serve-web.sh sends them to a
# browser that accepts them), and snowbelter-web-VERSION.zip, which holds
# exactly what a static web host needs. Installs
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
# The link makes all four files at once but CMake knows only the page: a
# missing one must make the link run again.
for made in snowbelter.html snowbelter.js snowbelter.wasm snowbelter.data; do
  [ -f "$out/$made" ] || rm -f "$out/snowbelter.html"
done
cmake --build "$out" --target snowbelter -j2

# The page's other files, then the service worker over all of them: first
# the page's own, as web/ has them (shell.html loads the scripts in order).
page_files=(hooks.js page_text.js layout.js touch.js storage.js card.js share.js downloads.js canvas.js page.js page.css
            snowbelter.webmanifest)
cp "${page_files[@]/#/$root/web/}" "$out/"
cp "$root/build/icons/web/icon-192.png" "$root/build/icons/web/icon-512.png" "$out/"
cp "$root/build/media-work/gfx/snowbelter2.png" "$out/title.png"
cp -p "$root/build/media/sfx.sbx" "$out/sfx.sbx"
files=(snowbelter.html snowbelter.js snowbelter.wasm snowbelter.data "${page_files[@]}"
       icon-192.png icon-512.png title.png sfx.sbx)
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")"
hash="$(cd "$out" && sha256sum "${files[@]}" | sha256sum | cut -c1-16)"
listing="$(printf "'%s', " "${files[@]}")"
sed -e "s/@VERSION@/$version/" -e "s/@HASH@/$hash/" -e "s/@FILES@/${listing%, }/" \
  "$root/web/sw.js" > "$out/sw.js.new"
# Unchanged files keep their date, so a rebuild of nothing changes nothing.
if cmp -s "$out/sw.js.new" "$out/sw.js"; then rm "$out/sw.js.new"; else mv "$out/sw.js.new" "$out/sw.js"; fi

# The compressed copies of what compresses (not the pictures), remade only
# when their file is newer.  Brotli takes an eighth off the music archive's
# MP3s, gzip nothing worth a copy.
packed=()
pack() {
  local file="$out/$1" suffix=$2
  shift 2
  [ "$file.$suffix" -nt "$file" ] || "$@" < "$file" > "$file.$suffix"
  packed+=("$(basename "$file").$suffix")
}
for name in "${files[@]}" sw.js; do
  case "$name" in *.png) continue ;; esac
  [ "$name" = sfx.sbx ] || pack "$name" gz gzip -9 -n -c
  pack "$name" br brotli -q 11 -c
done

# The licences of the libraries linked into the page travel with it.
rm -rf "$out/licenses" && cp -r "$root/packaging/licenses" "$out/licenses"
# Readable by all, on disk and in the zip (which keeps each file's mode): a
# web server running as another user must be able to send every file (the
# art tool writes its pictures for their owner alone).
(cd "$out" && chmod 0644 "${files[@]}" sw.js "${packed[@]}" licenses/* && chmod 0755 licenses)
zip="snowbelter-web-$version.zip"
rm -f "$out"/snowbelter-web-*.zip
(cd "$out" && zip -q -X "$zip" "${files[@]}" sw.js "${packed[@]}" licenses/* && chmod 0644 "$zip")
echo "build-web: $out/$zip, $(du -k "$out/$zip" | cut -f1) KB: unpack it on any static web host"
echo "build-web: $out/snowbelter.html (tools/serve-web.sh serves it)"
