#!/usr/bin/env bash
# Time from starting zentyr to its first shown main window, with the simulated host already
# running, and the resident memory of zentyr after one minute of polling.
# Usage: bench/windows/startup.sh [build-dir]   (needs xvfb and x11-utils)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'kill ${zentyr:-} ${hostsim:-} ${xvfb:-} 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/run" "$work/home"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home" HOSTSIM_HOME="$work/home"
export DISPLAY=:77
Xvfb :77 -screen 0 1280x900x24 >/dev/null 2>&1 & xvfb=$!
sleep 1
"$build/bin/hostsim" /p "Mach3Mill" >/dev/null 2>&1 & hostsim=$!
until [ -S "$XDG_RUNTIME_DIR/zentyr-hostsim.sock" ]; do sleep 0.05; done
sleep 0.5

# Starts zentyr and sets `ms` to the milliseconds until its main window is mapped.
shown_after() {
  local start end
  start=$(date +%s%N)
  "$build/bin/zentyr" >/dev/null 2>&1 & zentyr=$!
  until xwininfo -name "Zentyr: Mach3Mill" 2>/dev/null | grep -q "IsViewable"; do sleep 0.005; done
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
}

shown_after; echo "first start: $ms ms"; kill $zentyr; wait $zentyr 2>/dev/null || true
for i in 1 2 3 4 5; do
  shown_after; echo "warm start $i: $ms ms"; kill $zentyr; wait $zentyr 2>/dev/null || true
done
shown_after
sleep 60
echo "resident memory after 60 s of polling: $(grep VmRSS /proc/$zentyr/status | awk '{print $2/1024 " MB"}')"
