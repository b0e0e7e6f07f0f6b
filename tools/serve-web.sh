#!/usr/bin/env bash
# Serves the browser build (build-web/, made by tools/build-web.sh) on this
# machine only, for a player to try: open the address it prints.
# Every answer says "Cache-Control: no-cache": the browser may keep the
# files but asks each time whether they changed, so a new build (a new
# sw.js) is seen on the next visit, and the service worker keeps the copy
# that plays offline.
# A file with a precompressed copy beside it (NAME.br, NAME.gz, written by
# build-web.sh) is sent as that copy when the browser accepts its encoding
# (Brotli first), with "Content-Encoding" saying which and the type of NAME.
# Usage: tools/serve-web.sh [PORT [FOLDER]]   (default 8080 and build-web/)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${1:-8080}"
folder="${2:-$root/build-web}"
[ -f "$folder/snowbelter.html" ] ||
  { echo "serve-web: no $folder/snowbelter.html: run tools/build-web.sh first" >&2; exit 1; }
echo "Snowbelter: http://127.0.0.1:$port/snowbelter.html (Ctrl+C stops)"
cd "$folder"
exec python3 - "$port" <<'PY'
import http.server, os, sys

# Each encoding a browser may name in Accept-Encoding, by preference, and
# the suffix of its precompressed copy.
ENCODINGS = (('br', '.br'), ('gzip', '.gz'))

def accepted(header):
    names = set()
    for part in header.split(','):
        name, _, quality = part.strip().partition(';')
        if quality.strip().replace(' ', '') not in ('q=0', 'q=0.0', 'q=0.00', 'q=0.000'):
            names.add(name.strip().lower())
    return names

class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json',
                      '.js': 'text/javascript'}

    def end_headers(self):
        self.send_header('Cache-Control', 'no-cache')
        super().end_headers()

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isfile(path):
            wanted = accepted(self.headers.get('Accept-Encoding', ''))
            for encoding, suffix in ENCODINGS:
                if encoding in wanted and os.path.isfile(path + suffix):
                    return self.send_encoded(path, path + suffix, encoding)
        return super().send_head()

    def send_encoded(self, path, copy, encoding):
        body = open(copy, 'rb')
        self.send_response(200)
        self.send_header('Content-Type', self.guess_type(path))
        self.send_header('Content-Encoding', encoding)
        self.send_header('Content-Length', str(os.fstat(body.fileno()).st_size))
        self.send_header('Vary', 'Accept-Encoding')
        self.end_headers()
        return body

http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[1])), Handler).serve_forever()
PY
