#!/usr/bin/env bash
# Formats every C++ file of the project with the committed .clang-format, or
# with --check lists the files that are not formatted and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' \
  'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
if [ "${1:-}" = "--check" ]; then
  unformatted=()
  for f in "${files[@]}"; do
    if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then unformatted+=("$f"); fi
  done
  if ((${#unformatted[@]})); then
    printf 'not formatted (run tools/format.sh): %s\n' "${unformatted[@]}" >&2
    exit 1
  fi
  echo "all ${#files[@]} files formatted"
else
  clang-format -i "${files[@]}"
fi
