#!/usr/bin/env bash
# The browser bundle links again whenever a preloaded file (a replay script)
# is added, changed or removed, through cmake/WebPreloads.cmake, the module
# the page's link uses: a scratch project links a small program that
# "preloads" a scratch folder of scripts, and each change must relink it,
# while a build with nothing changed must not.  A script added with an old
# date (copied with its date kept) counts too.
# Usage: preloads_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
source "$(dirname "$0")/../test_lib.sh"
begin_test
mkdir -p "$tmp/project/replays"
cat > "$tmp/project/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.18)
project(preloads C)
include($source_dir/cmake/WebPreloads.cmake)
add_executable(page main.c)
snow_web_preloads(page \${CMAKE_SOURCE_DIR}/replays)
CMAKE
echo 'int main(void) { return 0; }' > "$tmp/project/main.c"
echo 'key 1 ENTER' > "$tmp/project/replays/first.replay"
cmake -S "$tmp/project" -B "$tmp/build" >/dev/null

# build WHAT EXPECTED: builds, and fails unless the link ran (yes) or not (no).
build() {
  local linked=no output
  output=$(cmake --build "$tmp/build" 2>&1)
  case "$output" in *'Linking C executable'*) linked=yes ;; esac
  if [ "$linked" != "$2" ]; then
    echo "FAIL: $1: linked: $linked, expected: $2"
    exit 1
  fi
  echo "$1: linked: $linked"
}
build "first build" yes
build "nothing changed" no
echo 'key 2 ENTER' > "$tmp/project/replays/second.replay"
touch -d '2001-01-01' "$tmp/project/replays/second.replay"
build "a script added (with an old date)" yes
build "nothing changed" no
echo 'key 3 ENTER' >> "$tmp/project/replays/first.replay"
build "a script changed" yes
rm "$tmp/project/replays/second.replay"
build "a script removed" yes
echo "preloads: the bundle follows its replay scripts"
