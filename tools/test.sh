#!/usr/bin/env bash
# Builds Zentyr and runs the whole test suite (the LinuxCNC suite: tools/test-linuxcnc.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh
cd build
ctest --output-on-failure -j2 --timeout 180 -LE linuxcnc
