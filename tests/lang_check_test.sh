#!/usr/bin/env bash
# The build's check of the language tables (langcheck) passes the real
# tables and refuses a broken copy of them: a text left out, a placeholder
# renamed, a line too wide for its room, a story too long for its screen, a
# letter the font lacks; each fault once, each named in the check's words.
#   lang_check_test.sh LANGCHECK TABLES_FOLDER
set -euo pipefail
langcheck="$1"
tables="$2"
source "$(dirname "$0")/test_lib.sh"
begin_test

fresh() { cp "$tables"/*.txt "$tmp/"; }
check() { "$langcheck" "$tmp/en.txt" "$tmp/de.txt" "$tmp/pl.txt"; }

# expect_refused WHAT MESSAGE: the check fails and says MESSAGE.
expect_refused() {
  local out
  if out="$(check)"; then die "langcheck passed $1"; fi
  grep -qF -- "$2" <<<"$out" || die "$1: expected \"$2\" from langcheck, got: $out"
  echo "ok: $1 refused: $out"
}

fresh
others=()
for table in "$tmp"/*.txt; do [ "$table" = "$tmp/en.txt" ] || others+=("$table"); done
out="$("$langcheck" "$tmp/en.txt" "${others[@]}")" || die "the real tables were refused: $out"
echo "ok: the real tables pass (${#others[@]} beside English)"

fresh
sed -i '/^menu.exit = /d' "$tmp/de.txt"
expect_refused "a missing text" "de.txt: menu.exit is missing"

fresh
sed -i 's/^story.start = Naciśnij {key}/story.start = Naciśnij {klawisz}/' "$tmp/pl.txt"
expect_refused "a renamed placeholder" "pl.txt: story.start: its placeholders differ from English's"

fresh
sed -i 's/^keys.jump = SPRINGEN$/keys.jump = HOCHSPRINGEN/' "$tmp/de.txt"
expect_refused "a line too wide" "de.txt: keys.jump: \"HOCHSPRINGEN\" is 80 pixels wide; its room is 63"

fresh
sed -i 's/^\(story.4 = .*\)$/\1|und noch eine Zeile|und noch eine/' "$tmp/de.txt"
expect_refused "a story too long" "de.txt: the story's last line starts at y 231, below 212"

fresh
sed -i 's/^options.language = Język$/options.language = Język ♥/' "$tmp/pl.txt"
expect_refused "a letter the font lacks" "pl.txt: options.language: the font has no \"♥\""
