#!/usr/bin/env bash
# Formats every C++ file of the project with the committed .clang-format, or
# with --check lists the files that are not formatted and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format.sh: clang-format is not installed (tools/setup.sh installs it)" >&2; exit 2; }
# The file list comes from git, so that build trees and scratch files are
# never formatted; outside a checkout there is no list, and a check that
# looked at nothing must not pass.
if ! listed=$(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' \
  'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 2>/dev/null); then
  echo "format.sh: not a git checkout, so there is no list of files to format" >&2
  exit 2
fi
mapfile -t files < <(while read -r f; do [ -f "$f" ] && echo "$f"; done <<<"$listed")
if ((${#files[@]} == 0)); then
  echo "format.sh: no C++ files found" >&2
  exit 2
fi
jobs=$(nproc)
if [ "${1:-}" = "--check" ]; then
  # One clang-format per batch of files, batches side by side; each names
  # the files it would change in its complaints ("FILE:LINE:COL: error").
  unformatted=$(printf '%s\0' "${files[@]}" | xargs -0 -P"$jobs" -n 40 \
    sh -c 'clang-format --dry-run -Werror "$@" 2>&1 >/dev/null || true' sh |
    sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)
  if [ -n "$unformatted" ]; then
    printf 'not formatted (run tools/format.sh): %s\n' $unformatted >&2
    exit 1
  fi
  echo "all ${#files[@]} files formatted"
else
  printf '%s\0' "${files[@]}" | xargs -0 -P"$jobs" -n 40 clang-format -i
fi
