#!/usr/bin/env bash
# Checks an installed Snowbelter: exactly the files a player, a desktop and
# Debian expect, with modes that let any user run the game, and a desktop
# entry and AppStream metadata that their validators accept, in the game's
# seven languages.
# Usage: check_tree.sh ROOT PREFIX plain|games|deb
#   ROOT    the folder installed into (DESTDIR, or an unpacked .deb)
#   PREFIX  the install prefix inside it, e.g. /usr/local
#   plain   bin/ and share/snowbelter/; games: games/ and share/games/snowbelter/;
#   deb     the games layout with Debian's documents: the man page gzipped, a
#           Debian changelog.gz and the licence as copyright
set -euo pipefail
root=$1 prefix=$2 layout=$3
top=$root$prefix
id=org.snowbelter.Snowbelter

man=share/man/man6/snowbelter.6
case "$layout" in
  plain) program=bin/snowbelter data=share/snowbelter ;;
  games) program=games/snowbelter data=share/games/snowbelter ;;
  deb) program=games/snowbelter data=share/games/snowbelter man=$man.gz ;;
  *) echo "unknown layout $layout" >&2; exit 2 ;;
esac

source "$(dirname "$0")/../test_lib.sh"

expected=(
  "$program"
  "$data/media/gfx.sbx"
  "$data/media/sfx.sbx"
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  "$man"
  share/doc/snowbelter/README.md
  share/doc/snowbelter/LICENSE
  share/doc/snowbelter/CHANGELOG.md
)
if [ "$layout" = deb ]; then
  expected+=(share/doc/snowbelter/changelog.gz share/doc/snowbelter/copyright)
fi
for size in 16 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done

# Exactly these files, nothing missing and nothing else.
diff -u <(printf '%s\n' "${expected[@]}" | sort) \
  <(cd "$top" && find . -mindepth 1 ! -type d | sed 's|^\./||' | sort) ||
  fail "the installed files differ from the expected list (- missing, + unexpected)"
outside=$(cd "$root" && find . -mindepth 1 ! -type d ! -path ".$prefix/*" | sed 's|^\.||')
[ -z "$outside" ] || fail "files outside $prefix: $outside"

mode() { stat -c %a "$top/$1" 2>/dev/null || echo none; }
[ "$(mode "$program")" = 755 ] || fail "$program has mode $(mode "$program"), not 755"
for file in "${expected[@]:1}"; do
  [ -s "$top/$file" ] || { fail "$file is missing or empty"; continue; }
  [ "$(mode "$file")" = 644 ] || fail "$file has mode $(mode "$file"), not 644"
done
closed=$(find "$top" -type d ! -perm 0755)
[ -z "$closed" ] || fail "folders that are not 0755: $closed"

for size in 16 32 48 64 128 256; do
  icon=$top/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] || continue
  got=$(identify -format '%m %wx%h' "$icon" 2>/dev/null || echo "not a picture")
  [ "$got" = "PNG ${size}x${size}" ] || fail "icon ${size}x${size} is $got"
done

echo "--- desktop-file-validate"
desktop-file-validate "$top/share/applications/$id.desktop" ||
  fail "desktop-file-validate rejects the desktop entry"
echo "--- appstreamcli validate --no-net"
appstreamcli validate --no-net "$top/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli rejects the metainfo"
echo "--- translations of the desktop entry and the metainfo"
desktop=$top/share/applications/$id.desktop
metainfo=$top/share/metainfo/$id.metainfo.xml
# The game's own description, not its releases' notes (English alone).
description=$(sed -n '/^  <description>/,/^  <\/description>/p' "$metainfo" 2>/dev/null || true)
count() { grep -c -- "$1" <<<"$description" || true; }
for lang in de fr es it pt_BR pl; do
  for key in Name GenericName Comment; do
    grep -q "^$key\[$lang\]=." "$desktop" 2>/dev/null || fail "the desktop entry has no $key[$lang]"
  done
  for tag in name summary; do
    grep -q "^  <$tag xml:lang=\"$lang\">[^<]" "$metainfo" 2>/dev/null || fail "the metainfo has no <$tag> in $lang"
  done
  for tag in p li; do
    [ "$(count "<$tag xml:lang=\"$lang\">")" = "$(count "<$tag>")" ] ||
      fail "the metainfo's description has $(count "<$tag>") <$tag> in English, $(count "<$tag xml:lang=\"$lang\">") in $lang"
  done
done

if [ $failures -ne 0 ]; then
  echo "--- installed under $top"
  (cd "$top" && find . -mindepth 1 -printf '%M %p\n' | sort -k2)
  exit 1
fi
echo "install tree under $prefix ($layout layout): files, modes, icons and validators all fine"
