#!/usr/bin/env bash
# Builds Zentyr and runs every test: the native suite, then, each as a step of its own with a
# time limit, the whole suite again under AddressSanitizer and UBSan, the Windows parts under
# Wine and the LinuxCNC integration suite. Every step runs
# even when an earlier one failed; the script fails when any step did.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
step() {
  local name=$1; shift
  echo "== $name"
  local start=$SECONDS
  "$@"
  local rc=$?
  echo "== $name: $([ $rc -eq 0 ] && echo passed || echo "FAILED ($rc)") in $((SECONDS - start)) s"
  [ $rc -eq 0 ] || status=1
}
native() {
  set -e
  tools/deps.sh
  tools/build.sh
  cd build
  ctest --output-on-failure -j2 --timeout 180 -LE linuxcnc
}
step "native build and tests" bash -c "$(declare -f native); native"
step "sanitised suite" tools/sanitize.sh
step "Windows parts under Wine" timeout -k 30 900 tools/test-windows.sh
step "LinuxCNC integration" timeout -k 30 900 tools/test-linuxcnc.sh
exit $status
