#!/usr/bin/env bash
# The house rules a compiler does not check.
#   check-style.sh format             every C++ file as .clang-format lays it out
#   check-style.sh tidy BUILD_DIR     clang-tidy clean, with the build's compile commands
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# The project's C++ files with the given endings (cpp, h): those git tracks,
# or every such file of the source folders outside a git checkout.
sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files "${@/#/*.}"
  else
    for ending in "$@"; do find core media engine game tools tests -name "*.$ending"; done | sort
  fi
}

case "${1:-}" in
  format)
    sources cpp h | xargs clang-format --dry-run -Werror
    echo "clang-format: every file follows the house style"
    ;;
  tidy)
    build=${2:?usage: check-style.sh tidy BUILD_DIR}
    # Only what that build compiles: the browser's seams (*_web.cpp) are
    # compiled by Emscripten alone, with headers the desktop does not have.
    # Two at a time: the machines this runs on have two cores.
    sources cpp | while read -r file; do
      grep -qF "\"$root/$file\"" "$build/compile_commands.json" && echo "$file"
    done | xargs -P2 -n8 clang-tidy -p "$build" --quiet
    echo "clang-tidy: no findings"
    ;;
  *)
    echo "usage: check-style.sh format | tidy BUILD_DIR" >&2
    exit 2
    ;;
esac
