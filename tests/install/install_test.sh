#!/usr/bin/env bash
# Installs a built tree as a packager does (DESTDIR, prefix /usr/local) into a
# temporary folder, then either checks what was installed or runs the game
# from there.
# Usage: install_test.sh BUILD_DIR tree|run
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 what=$2
prefix=/usr/local

layout=plain
grep -q '^SNOWBELTER_GAMES_LAYOUT:BOOL=ON$' "$build/CMakeCache.txt" && layout=games

source "$here/../test_lib.sh"
begin_test
root=$tmp/root
mkdir -m 0755 "$root"
chmod 0755 "$tmp"
DESTDIR=$root "${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log"; die "cmake --install failed"; }

case "$what" in
  tree)
    "$here/check_tree.sh" "$root" "$prefix" "$layout"
    # What was installed is what the build made.
    data=share/snowbelter
    [ "$layout" = games ] && data=share/games/snowbelter
    for archive in gfx.sbx sfx.sbx; do
      cmp "$build/media/$archive" "$root$prefix/$data/media/$archive"
    done
    ;;
  run)
    program=$root$prefix/bin/snowbelter
    [ "$layout" = games ] && program=$root$prefix/games/snowbelter
    "$here/run_installed.sh" "$program"
    ;;
  *)
    echo "usage: install_test.sh BUILD_DIR tree|run" >&2
    exit 2
    ;;
esac
