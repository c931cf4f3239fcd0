#!/usr/bin/env bash
# Fuzzes the readers of the layout files: builds the libFuzzer programs with clang (address and
# undefined-behaviour checks on) into build-fuzz/ and runs them one after another, each for the
# given number of seconds (default 60), one job at a time.
#
# The committed seeds in fuzz/corpus/ are only read; inputs that reach new code are kept in
# build-fuzz/corpus/, and a crash, a hang (over 5 s for one input) or memory beyond 1 GiB
# leaves the input in build-fuzz/findings/. Add a finding to fuzz/corpus/ once it is fixed:
# the test run replays that corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
tools/deps.sh clang libclang-rt-14-dev
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DZENTYR_BUILD_FUZZERS=ON -DZENTYR_BUILD_TESTS=OFF -DZENTYR_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2 --target fuzz_desktop_layout fuzz_code_button_layout fuzz_led_layout

# Each program with the folder of its committed seeds.
targets=(desktop_layout:desktop code_button_layout:cbl led_layout:ledl)

status=0
for target in "${targets[@]}"; do
  name="${target%%:*}"
  seeds="fuzz/corpus/${target##*:}"
  mkdir -p "build-fuzz/corpus/$name" "build-fuzz/findings/$name"
  echo "== fuzz_$name: $seconds s"
  build-fuzz/bin/"fuzz_$name" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 \
    -max_len=16384 -dict=fuzz/layout.dict -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$name/" "build-fuzz/corpus/$name" "$seeds" ||
    status=1
done
exit "$status"
