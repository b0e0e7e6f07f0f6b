#!/usr/bin/env bash
# Installs the Debian packages Snowbelter needs to build, play and test.
# Idempotent: packages already present are skipped, apt is only asked when
# something is missing. Uses sudo when not run as root.
#   --fuzz       also clang 14 and its libFuzzer (tools/fuzz.sh)
#   --valgrind   also valgrind (tools/valgrind-replay.sh)
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev
  libpng-dev libjpeg62-turbo-dev liblzo2-dev zlib1g-dev
  libgl-dev libgl1-mesa-dri
  libgtest-dev
  xvfb xauth xdotool x11-utils
  lame
  clang-format clang-tidy
  desktop-file-utils appstream dpkg-dev file imagemagick lintian
)

for extra in "$@"; do
  case "$extra" in
    --fuzz) PACKAGES+=(clang-14 libfuzzer-14-dev) ;;
    --valgrind) PACKAGES+=(valgrind) ;;
    *) echo "install-deps.sh: unknown option $extra" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
