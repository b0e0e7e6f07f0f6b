#!/usr/bin/env bash
# Installs what is missing, builds Snowbelter and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/build.sh"
exec "$root/build/snowbelter"
