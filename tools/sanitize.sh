#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ (clang, unoptimised: about twice as fast to build as an optimised gcc build
# on this 2-core machine, and clang checks more kinds of undefined behaviour) and runs it. Any
# sanitizer report fails the test that made it, and so the run. The build and the run each
# have a time limit, so CI cannot hang here.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh clang libclang-rt-14-dev

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=0:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

source tools/compiler-cache.sh
# The test programs are run at build time to list their tests, so the options apply there too.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1 $sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
  -DZENTYR_BUILD_BENCH=OFF >/dev/null
timeout "${ZENTYR_SANITIZE_BUILD_LIMIT:-1500}" cmake --build build-sanitize -j2
cd build-sanitize
timeout "${ZENTYR_SANITIZE_TEST_LIMIT:-900}" ctest --output-on-failure -j2 --timeout 300 -LE linuxcnc
