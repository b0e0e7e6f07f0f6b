#!/usr/bin/env bash
# Installs what the browser build needs on top of the desktop build's
# packages: Emscripten, the three browser engines the tests drive (Chromium
# headless; Firefox ESR and WebKitGTK's MiniBrowser with its WebDriver on a
# virtual X screen, Xvfb), unzip (the zip's test), brotli (the build's
# precompressed copies), curl (the test of serve-web.sh's answers), locales
# (the sources from which the tests make the locales WebKit takes its pages'
# language from), the Debian source archive (the web libraries are built
# from Debian's own sources) and the tests' npm packages. Idempotent; uses
# sudo when not run as root.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(emscripten chromium firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0 xvfb
          nodejs npm dpkg-dev python3 zip unzip brotli curl locales)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The nodesource node ships its own npm; Debian's npm would conflict with it.
if command -v npm >/dev/null; then
  missing=("${missing[@]/npm/}")
  missing=("${missing[@]/nodejs/}")
fi
need_update=0
# The libraries come from "apt-get source", which needs deb-src entries for
# the archive this machine already installs from.
src_list=/etc/apt/sources.list.d/snowbelter-web-src.sources
if ! apt-cache showsrc zlib >/dev/null 2>&1 || [ -z "$(apt-cache showsrc zlib 2>/dev/null)" ]; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types: .*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee "$src_list" >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' |
      $SUDO tee /etc/apt/sources.list.d/snowbelter-web-src.list >/dev/null
  fi
  need_update=1
fi
real_missing=()
for p in "${missing[@]}"; do [ -n "$p" ] && real_missing+=("$p"); done
if [ ${#real_missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  $SUDO apt-get update -qq
fi
if [ ${#real_missing[@]} -gt 0 ]; then
  echo "Installing: ${real_missing[*]}"
  $SUDO apt-get install -y -qq --no-install-recommends "${real_missing[@]}"
fi

# puppeteer-core drives the system Chromium; it never downloads a browser.
if [ -f "$root/tests/web/package-lock.json" ] && [ ! -d "$root/tests/web/node_modules/puppeteer-core" ]; then
  (cd "$root/tests/web" && npm ci --no-audit --no-fund --loglevel=error)
fi
