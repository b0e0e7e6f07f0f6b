#!/usr/bin/env bash
# tools/check-commands.py passes on the tree as it is, and fails, naming the
# script's line and the command, on scratch copies of the tree: one with a
# script that calls a command nobody installs, one with brotli left out of
# the browser's install script (as it once was, when only a developer's
# machine had it), and one with a script that writes the names of missing
# commands where bash does not run them (comments, heredocs, strings,
# arrays, case patterns, functions), where it must stay quiet about those.
# Usage: check_commands_test.sh SOURCE_DIR [PYTHON]
set -euo pipefail
source_dir=$1 python=${2:-python3}
source "$(dirname "$0")/../test_lib.sh"
begin_test

# check NAME TREE: runs the check on TREE; its output in $tmp/NAME.out.
check() {
  local code=0
  "$python" "$source_dir/tools/check-commands.py" "$2" >"$tmp/$1.out" 2>&1 || code=$?
  sed "s/^/  $1: /" "$tmp/$1.out"
  return $code
}

# A copy of what the check reads: the scripts and the command list.
copy_tree() {
  mkdir -p "$1"
  tar -C "$source_dir" --exclude=node_modules -cf - tools .ci tests | tar -C "$1" -xf -
}

# expect_offence NAME CODE SCRIPT:LINE COMMAND: the check failed and named
# the command at that line.
expect_offence() {
  local name=$1 code=$2 where=$3 command=$4
  [ "$code" -eq 1 ] || fail "$name: exit code $code, expected 1"
  grep -q "^$where: $command: " "$tmp/$name.out" || fail "$name: no line for $command at $where"
}

code=0
check today "$source_dir" || code=$?
[ $code -eq 0 ] || fail "today's tree: exit code $code, expected 0"
grep -q '^check-commands: OK' "$tmp/today.out" || fail "today's tree: no OK line"

copy_tree "$tmp/unknown"
cat >"$tmp/unknown/tools/unknown.sh" <<'SH'
#!/usr/bin/env bash
set -euo pipefail
echo "making the sleigh"
snowbelter-sleigh-polisher --shine
SH
code=0
check unknown "$tmp/unknown" || code=$?
expect_offence unknown "$code" tools/unknown.sh:4 snowbelter-sleigh-polisher
[ "$(grep -c '^[^ ]*:[0-9]*: ' "$tmp/unknown.out")" -eq 1 ] || fail "unknown: not the one offence alone"

copy_tree "$tmp/no-brotli"
sed -i '/^PACKAGES=/,/)/s/ brotli\b//' "$tmp/no-brotli/tools/install-web-deps.sh"
! grep -q -w brotli <(sed -n '/^PACKAGES=/,/)/p' "$tmp/no-brotli/tools/install-web-deps.sh") ||
  fail "no-brotli: install-web-deps.sh's package list is not as this test knows it"
code=0
check no-brotli "$tmp/no-brotli" || code=$?
expect_offence no-brotli "$code" "tools/build-web.sh:[0-9]*" brotli
expect_offence no-brotli "$code" "tests/web/serve_encoding.sh:[0-9]*" brotli

# Missing names everywhere bash does not run them, then in each position
# where it does: only the second half may be named, each once.
copy_tree "$tmp/bash"
cat >"$tmp/bash/tools/bash-forms.sh" <<'SH'
#!/usr/bin/env bash
# missing-in-comment --option
echo "missing-in-string $(printf '%s' "missing-in-quotes")"
cat <<TEXT
missing-in-heredoc
TEXT
cat <<-'TEXT'
	missing-in-quoted-heredoc
	TEXT
list=(missing-in-array --flag)
case "$1" in
  missing-in-pattern|other) echo pattern ;;
  *) : ;;
esac
local_helper() { echo "a function"; }
local_helper missing-as-argument
lib_cc=missing-through-variable
SUDO=""
$SUDO missing-after-sudo -y
timeout 5 missing-after-timeout
nice -n 10 missing-after-nice
env A=1 missing-after-env
xvfb-run -a -s "-screen 0 640x480x24" missing-after-xvfb-run
x=$(missing-in-substitution | missing-in-pipe)
if missing-in-condition; then missing-after-then; fi
$lib_cc -c file.c
command -v missing-after-command-v >/dev/null || true
SH
code=0
check bash "$tmp/bash" || code=$?
[ "$code" -eq 1 ] || fail "bash: exit code $code, expected 1"
for name in missing-after-sudo missing-after-timeout missing-after-nice missing-after-env \
            missing-after-xvfb-run missing-in-substitution missing-in-pipe missing-in-condition \
            missing-after-then missing-through-variable; do
  [ "$(grep -c ": $name: " "$tmp/bash.out")" -eq 1 ] || fail "bash: $name not named once"
done
for name in missing-in-comment missing-in-string missing-in-quotes missing-in-heredoc \
            missing-in-quoted-heredoc missing-in-array missing-in-pattern missing-as-argument \
            missing-after-command-v local_helper; do
  grep -q ": $name: " "$tmp/bash.out" && fail "bash: $name named, but bash does not run it"
done

report_and_exit "command check: passes today's tree, names a command nobody installs, brotli without its package, and every command position of bash, but no word bash does not run"
