#!/usr/bin/env bash
# Configures the checking build (build-check/, or the folder given): clang
# with AddressSanitizer (leaks included), UndefinedBehaviorSanitizer and
# libFuzzer's coverage. The whole suite runs there under the sanitizers, and
# every reader of outside bytes is a libFuzzer binary, so one build serves
# both the sanitizer run and the fuzzing.
#
# The libraries keep -O1, so that fuzzing finds inputs quickly; test code is
# built at -O0 (it runs for seconds, and compiling it is most of the cost).
# Line tables are enough for the sanitizers' reports. Benchmarks and the
# formatting check belong to the ordinary build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-check}

generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S . -B "$build" "${generator[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" \
  "-DZQW_TEST_COMPILE_OPTIONS=-O0;-gline-tables-only" \
  -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld \
  -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld \
  -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld \
  -DCMAKE_UNITY_BUILD=ON \
  -DZQW_FUZZ=ON -DZQW_BUILD_BENCH=OFF -DZQW_FORMAT_TEST=OFF \
  >/dev/null
