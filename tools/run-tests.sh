#!/usr/bin/env bash
# Installs what is missing, builds Snowbelter and runs every test.
# Without a display the tests run under a virtual X server (Xvfb) with Mesa's
# software renderer; audio uses SDL's dummy driver when there is no device.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/build.sh"
"$root/tools/build-web.sh"
cd "$root/build"
run=(ctest --output-on-failure -j2)
if [ -z "${DISPLAY:-}" ]; then
  run=(xvfb-run -a -s "-screen 0 1280x1024x24" "${run[@]}")
fi
"${run[@]}"
