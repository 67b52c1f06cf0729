#!/usr/bin/env bash
# Builds everything and runs every test, in two builds:
#   build/        the suite, as the editor is built (gcc);
#   build-check/  the same suite under AddressSanitizer (leaks included) and
#                 UndefinedBehaviorSanitizer (clang), where every reader of
#                 outside bytes is also a libFuzzer binary: after its seeds
#                 and every crash ever found have been replayed, each is
#                 fuzzed for a few seconds (tools/configure-check-build.sh).
# ZQW_CHECK_BUILD names another folder for the second. Each part runs even
# when an earlier one failed; the exit status says whether all passed, and
# the last lines say what each stage cost.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
# The tests wait on servers, displays and child processes now and then;
# one more than the cores keeps the processors busy meanwhile.
test_jobs=$((jobs + 1))
check=${ZQW_CHECK_BUILD:-build-check}
failed=()
stages=()
started=$SECONDS
stage_started=$SECONDS
stage_done() {
  stages+=("$(printf '  %-40s %5d s' "$1" $((SECONDS - stage_started)))")
  stage_started=$SECONDS
}

bash tools/setup.sh --packages-only
stage_done "packages"
bash tools/setup.sh --build-only
stage_done "build (build/)"

echo "== The tests (build)"
(cd build && ctest --output-on-failure -j"$test_jobs") || failed+=("tests")
stage_done "tests (build/)"

echo "== The tests under the sanitizers, and fuzzing every reader ($check)"
bash tools/configure-check-build.sh "$check"
cmake --build "$check" -j"$jobs"
stage_done "sanitizer and fuzz build ($check/)"
(
  # The output module carries its own copy of the libraries below it, and
  # the program's copy (the same code) takes its place when it is loaded:
  # one definition twice, by design. detect_odr_violation=1 still reports
  # two definitions of a name that differ in size.
  export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:detect_odr_violation=1
  export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  cd "$check" && ctest --output-on-failure -j"$test_jobs"
) || failed+=("sanitizer tests and fuzzing")
stage_done "sanitizer tests, fuzzing ($check/)"

echo "== Time per stage"
printf '%s\n' "${stages[@]}"
printf '  %-40s %5d s\n' "all" $((SECONDS - started))
if ((${#failed[@]})); then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
echo "All tests passed in both builds."
