#!/usr/bin/env bash
# Builds the Debian package from the sources as a packager would (a build of
# its own in Debian's layout for games, only the program and the media), then
# checks the package's name, fields and files, unpacks it into a temporary
# folder (it is never installed on the machine) and runs the game from there.
# Usage: deb_test.sh SOURCE_DIR BUILD_DIR VERSION
# CMAKE, CPACK, GENERATOR, CXX_COMPILER and C_COMPILER may name the tools.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$1 build=$2 version=$3
cmake=${CMAKE:-cmake} cpack=${CPACK:-cpack}
source "$here/../test_lib.sh"

configure=(-DSNOWBELTER_GAMES_LAYOUT=ON -DBUILD_TESTING=OFF)
[ -n "${GENERATOR:-}" ] && configure+=(-G "$GENERATOR")
[ -n "${CXX_COMPILER:-}" ] && configure+=(-DCMAKE_CXX_COMPILER="$CXX_COMPILER")
[ -n "${C_COMPILER:-}" ] && configure+=(-DCMAKE_C_COMPILER="$C_COMPILER")

step() { echo "--- $1 ($SECONDS s)"; }
quiet() {
  "$@" >"$build/step.log" 2>&1 || { cat "$build/step.log"; die "$*"; }
}

mkdir -p "$build"
step configure
quiet "$cmake" -S "$source" -B "$build" "${configure[@]}"
step "build the program and the media"
quiet "$cmake" --build "$build" --target snowbelter media --parallel 2
step "cpack -G DEB"
rm -f "$build"/*.deb
(cd "$build" && quiet "$cpack" -G DEB)
step "check the package"

begin_test

arch=$(dpkg --print-architecture)
deb=$build/snowbelter_${version}_${arch}.deb
[ -f "$deb" ] || { ls "$build"/*.deb 2>/dev/null; die "no $(basename "$deb")"; }

dpkg-deb -I "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = snowbelter ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "architecture $(field Architecture)"
[ "$(field Section)" = games ] || fail "section $(field Section)"
field Maintainer | grep -Eq '^[^<]+ <[^@> ]+@[^> ]+>$' || fail "maintainer $(field Maintainer)"
field Depends | grep -Eq '(^|, )libsdl2-2\.0-0( |,|$)' || fail "Depends lacks libsdl2: $(field Depends)"
field Depends | grep -Eq '(^|, )libsdl2-mixer-2\.0-0( |,|$)' || fail "Depends lacks libsdl2-mixer"
description=$(field Description)
[ "$(echo "$description" | wc -l)" -ge 3 ] || fail "no long description: $description"
echo "$description" | head -n 1 | grep -q Santa || fail "short description: $(echo "$description" | head -n 1)"

# Debian's own checker: no errors and no warnings.
echo "--- lintian"
if lintian --fail-on error,warning "$deb" >"$build/lintian.log" 2>&1; then
  grep -v 'root privileges' "$build/lintian.log" || true
else
  cat "$build/lintian.log"
  fail "lintian finds fault"
fi

chmod 0755 "$tmp"
mkdir -m 0755 "$tmp/root"
dpkg-deb -x "$deb" "$tmp/root"
chmod 0755 "$tmp/root"
file -b "$tmp/root/usr/games/snowbelter" | grep -q ', stripped' || fail "the program is not stripped"
zcat "$tmp/root/usr/share/doc/snowbelter/changelog.gz" >"$tmp/changelog"
changelog=$(dpkg-parsechangelog -l "$tmp/changelog" -S Version)
[ "$changelog" = "$version" ] || fail "changelog.gz is for version $changelog"
"$here/check_tree.sh" "$tmp/root" /usr deb || failures=$((failures + 1))
[ $failures -eq 0 ] || exit 1

step "run /usr/games/snowbelter from the unpacked package"
"$here/run_installed.sh" "$tmp/root/usr/games/snowbelter"
step finished
