#!/usr/bin/env bash
# Serves the browser build (build-web/, made by tools/build-web.sh) on this
# machine only, for a player to try: open the address it prints.
# Every answer says "Cache-Control: no-cache": the browser may keep the
# files but asks each time whether they changed, so a new build (a new
# sw.js) is seen on the next visit, and the service worker keeps the copy
# that plays offline.
# Usage: tools/serve-web.sh [PORT]   (default 8080)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${1:-8080}"
[ -f "$root/build-web/snowbelter.html" ] ||
  { echo "serve-web: no build-web/snowbelter.html: run tools/build-web.sh first" >&2; exit 1; }
echo "Snowbelter: http://127.0.0.1:$port/snowbelter.html (Ctrl+C stops)"
cd "$root/build-web"
exec python3 - "$port" <<'PY'
import http.server, sys

class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json',
                      '.js': 'text/javascript'}

    def end_headers(self):
        self.send_header('Cache-Control', 'no-cache')
        super().end_headers()

http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[1])), Handler).serve_forever()
PY
