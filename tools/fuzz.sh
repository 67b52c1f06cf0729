#!/usr/bin/env bash
# Fuzzes one reader of outside bytes for a while:
#
#     tools/fuzz.sh TARGET MINUTES
#
# TARGET is one of the zqw_add_fuzz_target names in tests/fuzz/CMakeLists.txt
# (template, cardfile, notes, package, dosimport, customprompts, hints,
# reportarchive). Builds the checking build (clang, libFuzzer, ASan + UBSan;
# build-check/ or $ZQW_CHECK_BUILD, see tools/configure-check-build.sh) when
# needed.
# New inputs gather in FOLDER/fuzz/TARGET/corpus; a crash is written to
# FOLDER/fuzz/TARGET/artifacts/ and stops the run.
# Once the fault is fixed, copy the crash into tests/fuzz/regressions/TARGET/
# so the replay test keeps it fixed.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ne 2 ]; then
  echo "usage: tools/fuzz.sh TARGET MINUTES" >&2
  exit 2
fi
target=$1
minutes=$2
build=${ZQW_CHECK_BUILD:-build-check}

[ -f "$build/CMakeCache.txt" ] || bash tools/configure-check-build.sh "$build"
cmake --build "$build" --target "fuzz_$target" -j2 >/dev/null

work="$build/fuzz/$target"
mkdir -p "$work/corpus" "$work/artifacts"
inputs=(tests/fuzz/corpus/"$target")
if compgen -G "tests/fuzz/regressions/$target/*" >/dev/null; then
  inputs+=(tests/fuzz/regressions/"$target")
fi
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exec "$build/tests/fuzz/fuzz_$target" -max_total_time=$((minutes * 60)) -rss_limit_mb=2048 \
  -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" "$work/corpus" "${inputs[@]}"
