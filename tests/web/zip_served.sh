#!/usr/bin/env bash
# The web zip serves as unpacked: every file in it, and every file
# tools/build-web.sh leaves in build-web/ for serving, is readable by all
# (0644).  Unpacked by this user and served by another (nobody, through
# runuser: a web server's own user), the page reaches the menu with its
# title picture and both icons answering 200 (zip_served.js).
#   zip_served.sh PAGE_DIR ENGINE
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
page_dir="$1" engine="$2"
source "$here/../test_lib.sh"
zip="$(ls "$page_dir"/snowbelter-web-*.zip 2>/dev/null | head -n 1)"
[ -n "$zip" ] || die "no snowbelter-web-*.zip in $page_dir: run tools/build-web.sh"
if [ "$(id -u)" -ne 0 ]; then echo "skipped: serving as another user needs root (runuser)"; exit 0; fi

bad="$(zipinfo -l "$zip" | awk 'NR > 2 && /^-/ && $1 != "-rw-r--r--" { print $1, $NF }')"
[ -z "$bad" ] || die "files in $(basename "$zip") not 0644:"$'\n'"$bad"
served=($(zipinfo -1 "$zip"))
for name in "${served[@]}" "$(basename "$zip")"; do
  mode="$(stat -c %a "$page_dir/$name")"
  [ "$mode" = 644 ] || die "build-web/$name has mode $mode, not 644"
done

begin_test
folder="$tmp/unpacked"
mkdir -m 0755 "$folder"
chmod 0755 "$tmp"
(cd "$folder" && unzip -q "$zip")
port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
runuser -u nobody -- python3 -m http.server "$port" --bind 127.0.0.1 --directory "$folder" \
  >"$tmp/server.log" 2>&1 &
on_exit "kill $!"
for _ in $(seq 50); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null && break
  sleep 0.1
done
echo "zip: ${#served[@]} files, each 0644 in the zip and in build-web/; served by nobody on port $port"
node "$here/zip_served.js" --browser "$engine" --url "http://127.0.0.1:$port/"
