#!/usr/bin/env bash
# tools/serve-web.sh sends a file's precompressed copy when the browser
# accepts its encoding (Brotli before gzip), with the file's own type and
# the encoding named, and the plain file otherwise; every copy unpacks to
# the file.  Runs on a scratch folder of its own.
# Usage: serve_encoding.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
command -v curl >/dev/null || { echo "skipped: curl is not installed"; exit 0; }
command -v brotli >/dev/null || { echo "skipped: brotli is not installed"; exit 0; }
source "$(dirname "$0")/../test_lib.sh"
begin_test
echo '<!doctype html>' > "$tmp/snowbelter.html"
seq 1 5000 > "$tmp/snowbelter.wasm"
gzip -9 -n -c "$tmp/snowbelter.wasm" > "$tmp/snowbelter.wasm.gz"
brotli -q 11 -n -c "$tmp/snowbelter.wasm" > "$tmp/snowbelter.wasm.br"
seq 1 100 > "$tmp/page.js"
gzip -9 -n -c "$tmp/page.js" > "$tmp/page.js.gz"   # no Brotli copy

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$source_dir/tools/serve-web.sh" "$port" "$tmp" >/dev/null 2>&1 &
server=$!
on_exit "kill $server"
for _ in $(seq 1 100); do
  curl -s -o /dev/null "http://127.0.0.1:$port/snowbelter.html" && break
  sleep 0.1
done

# fetch NAME ACCEPT EXPECTED_ENCODING EXPECTED_TYPE
fetch() {
  local headers="$tmp/headers" body="$tmp/body" encoding type
  curl -s -D "$headers" -o "$body" -H "Accept-Encoding: $2" "http://127.0.0.1:$port/$1"
  encoding=$(sed -n 's/^Content-Encoding: *\([^\r]*\).*/\1/ip' "$headers")
  type=$(sed -n 's/^Content-Type: *\([^\r;]*\).*/\1/ip' "$headers")
  case "$encoding" in
    br) brotli -d -c "$body" > "$body.plain" ;;
    gzip) gzip -d -c "$body" > "$body.plain" ;;
    *) cp "$body" "$body.plain" ;;
  esac
  if [ "$encoding" != "$3" ] || [ "$type" != "$4" ] || ! cmp -s "$body.plain" "$tmp/$1"; then
    echo "FAIL: $1 asked with \"$2\": encoding \"$encoding\" (expected \"$3\"), type \"$type\" (expected \"$4\")," \
         "$(cmp -s "$body.plain" "$tmp/$1" && echo "the same bytes" || echo "other bytes")"
    exit 1
  fi
  echo "$1 with \"$2\": ${3:-plain}, $type"
}
fetch snowbelter.wasm 'gzip, deflate, br' br application/wasm
fetch snowbelter.wasm 'gzip, deflate' gzip application/wasm
fetch snowbelter.wasm 'br;q=0, gzip' gzip application/wasm
fetch snowbelter.wasm '' '' application/wasm
fetch page.js 'gzip, deflate, br' gzip text/javascript
fetch snowbelter.html 'gzip, br' '' text/html
echo "serve-web: each answer is the copy the browser takes"
