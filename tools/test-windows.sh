#!/usr/bin/env bash
# Cross-builds the Windows parts that need no Qt (the COM host link, the Windows platform
# services, a fake automation server and their tests) with MinGW-w64, and runs the tests under
# Wine in a private, headless Wine prefix. Ends with the test runner's summary.
#
#   tools/test-windows.sh          build and test
#   tools/test-windows.sh --bench  also time COM round trips against the fake server
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-windows
bench=0
[[ "${1:-}" == --bench ]] && bench=1

tools/deps.sh g++-mingw-w64-x86-64-posix wine wine64 googletest

# Wine stays inside its own prefix, draws on no display and asks for no add-on downloads.
export WINEPREFIX=${ZENTYR_WINEPREFIX:-$build/wineprefix}
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY= WAYLAND_DISPLAY=
if [[ ! -f $WINEPREFIX/.zentyr-ready ]]; then
  echo "Preparing the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  timeout 300 wineboot -i >/dev/null 2>&1 || { echo "windows: Wine could not prepare its prefix"; exit 1; }
  # The null display driver: windows exist, are found and shown, but nothing is drawn.
  timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  timeout 60 wineserver -w
  touch "$WINEPREFIX/.zentyr-ready"
fi

source tools/compiler-cache.sh
cmake -S tests/com -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j2

status=0
# Wine reads paths as Windows paths: the report is named relative to the program's folder.
report=$build/bin/com_tests.xml
rm -f "$report"
(cd "$build/bin" && timeout -k 10 300 wine com_tests.exe --gtest_output=xml:com_tests.xml) || status=$?
if ((bench)); then
  (cd "$build/bin" && timeout -k 10 300 wine bench_com.exe) || status=$?
fi
# Every program of the private prefix has ended by now; one that has not (a fake server left
# behind by a test that crashed) is ended with the prefix's server.
timeout 30 wineserver -w || wineserver -k || true

# The runner's own count, as one closing line; a run that died early counts as failed.
if [[ -f $report ]]; then
  tests=$(sed -n 's/.*<testsuites tests="\([0-9]*\)".*/\1/p' "$report" | head -1)
  failures=$(sed -n 's/.*<testsuites tests="[0-9]*" failures="\([0-9]*\)".*/\1/p' "$report" | head -1)
  echo "windows: $((${tests:-0} - ${failures:-0})) passed, ${failures:-0} failed"
else
  echo "windows: 0 passed, 1 failed (the test program ended without a report, status $status)"
  ((status)) || status=1
fi
exit $status
