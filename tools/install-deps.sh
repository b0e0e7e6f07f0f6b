#!/usr/bin/env bash
# Installs the Debian packages Snowbelter needs to build, play and test.
# Idempotent: packages already present are skipped, apt is only asked when
# something is missing. Uses sudo when not run as root.  ccache, when there,
# keeps a rebuild (or a fresh clone's build) short; git lets the style check
# read the files git tracks; python3 runs tools/check-commands.py.
#   --fuzz       also clang 14 and its libFuzzer (tools/fuzz.sh)
#   --valgrind   also valgrind (tools/valgrind-replay.sh)
#   --windows    also mingw-w64, Wine, NSIS and Debian's source archive
#                (tools/build-win.sh builds the libraries from their sources)
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ccache
  libsdl2-dev libsdl2-mixer-dev
  libpng-dev libjpeg62-turbo-dev liblzo2-dev zlib1g-dev
  libgl-dev libgl1-mesa-dri
  libgtest-dev
  xvfb xauth xdotool x11-utils
  lame
  clang-format clang-tidy
  desktop-file-utils appstream dpkg-dev file imagemagick lintian
  git python3
)

for extra in "$@"; do
  case "$extra" in
    --fuzz) PACKAGES+=(clang-14 libfuzzer-14-dev) ;;
    --valgrind) PACKAGES+=(valgrind) ;;
    --windows)
      PACKAGES+=(g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev googletest
                 wine wine64 nsis zip dpkg-dev)
      sources=1 ;;
    *) echo "install-deps.sh: unknown option $extra" >&2; exit 2 ;;
  esac
done

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
# "apt-get source" needs deb-src entries for the archive this machine
# already installs from.
if [ "${sources:-0}" -eq 1 ] && [ -z "$(apt-cache showsrc zlib 2>/dev/null)" ]; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types: .*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee /etc/apt/sources.list.d/snowbelter-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' |
      $SUDO tee /etc/apt/sources.list.d/snowbelter-src.list >/dev/null
  fi
  $SUDO apt-get update -qq
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
