#!/usr/bin/env bash
# Serves the browser build (build-web/, made by tools/build-web.sh) on this
# machine only, for a player to try: open the address it prints.
# Usage: tools/serve-web.sh [PORT]   (default 8080)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${1:-8080}"
[ -f "$root/build-web/snowbelter.html" ] ||
  { echo "serve-web: no build-web/snowbelter.html: run tools/build-web.sh first" >&2; exit 1; }
echo "Snowbelter: http://127.0.0.1:$port/snowbelter.html (Ctrl+C stops)"
cd "$root/build-web"
exec python3 -m http.server "$port" --bind 127.0.0.1
