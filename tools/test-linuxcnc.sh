#!/usr/bin/env bash
# Installs LinuxCNC (its simulated, non-real-time build) with its development files, builds
# lcnchost and runs the LinuxCNC integration suite (ctest label "linuxcnc"). The suite reports
# itself skipped, not passed, when LinuxCNC cannot start on this computer.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
source tools/compiler-cache.sh
tools/deps.sh linuxcnc-uspace linuxcnc-uspace-dev libboost-dev
# Configured as tools/build.sh does; only what the suite needs is built.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target lcnchost lcnc_integration_tests
cd build
ctest -L linuxcnc --verbose --timeout 300  # verbose: a skipped suite says why
echo "LinuxCNC step took $(($(date +%s) - start)) s"
