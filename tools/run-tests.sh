#!/usr/bin/env bash
# Builds everything and runs every test, in three builds:
#   build/       the suite, as the editor is built;
#   build-asan/  the same suite under AddressSanitizer (leaks included) and
#                UndefinedBehaviorSanitizer;
#   build-fuzz/  every reader of outside bytes fuzzed for a short while
#                (clang, libFuzzer), about a minute in all, after its seeds
#                and every crash ever found have been replayed.
# ZQW_ASAN_BUILD and ZQW_FUZZ_BUILD name other folders for the last two.
# Each part runs even when an earlier one failed; the exit status says
# whether all passed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

jobs=$(nproc)
asan=${ZQW_ASAN_BUILD:-build-asan}
fuzz=${ZQW_FUZZ_BUILD:-build-fuzz}
failed=()

(cd build && ctest --output-on-failure -j"$jobs") || failed+=("tests")

echo "== The tests under AddressSanitizer and UndefinedBehaviorSanitizer ($asan)"
cmake -S . -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  >/dev/null
cmake --build "$asan" -j"$jobs"
(
  export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1
  export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  cd "$asan" && ctest --output-on-failure -j"$jobs"
) || failed+=("sanitizer tests")

echo "== Fuzzing every reader ($fuzz)"
cmake -S . -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DZQW_FUZZ=ON -DZQW_BUILD_GUI=OFF \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  >/dev/null
cmake --build "$fuzz" --target fuzz_targets -j"$jobs"
(cd "$fuzz" && ctest --output-on-failure -j"$jobs" -L fuzz) || failed+=("fuzzing")

if ((${#failed[@]})); then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
echo "All tests passed in all three builds."
