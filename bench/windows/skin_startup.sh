#!/usr/bin/env bash
# Time from starting zentyr to its first shown main window under each built-in skin, with the
# simulated host already running: one cold start, then the median of five warm starts, as wall
# time and as the CPU time zentyr used until then (10 ms steps; on a busy machine the wall time
# mostly measures the wait for a core).
# Usage: bench/windows/skin_startup.sh [build-dir]   (needs xvfb and x11-utils)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'kill ${zentyr:-} ${hostsim:-} ${xvfb:-} 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/run" "$work/home"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home" HOSTSIM_HOME="$work/home"
export XDG_CONFIG_HOME="$work/home/.config"
Xvfb -displayfd 3 -screen 0 1280x900x24 3>"$work/display" >/dev/null 2>&1 & xvfb=$!
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
"$build/bin/hostsim" /p "Mach3Mill" >/dev/null 2>&1 & hostsim=$!
until [ -S "$XDG_RUNTIME_DIR/zentyr-hostsim.sock" ]; do sleep 0.05; done
sleep 0.5
settings="$XDG_CONFIG_HOME/Vuve3 Dazorudava"
mkdir -p "$settings"

# Starts zentyr and sets `ms` to the milliseconds until its main window is mapped, `cpu` to
# the CPU milliseconds zentyr used until then.
ticks=$(getconf CLK_TCK)
shown_after() {
  local start end stat
  start=$(date +%s%N)
  "$build/bin/zentyr" >/dev/null 2>&1 & zentyr=$!
  until xwininfo -name "Zentyr: Mach3Mill" 2>/dev/null | grep -q "IsViewable"; do sleep 0.005; done
  end=$(date +%s%N)
  stat=($(sed 's/.*) //' "/proc/$zentyr/stat"))
  ms=$(( (end - start) / 1000000 ))
  cpu=$(( (stat[11] + stat[12]) * 1000 / ticks ))
  kill $zentyr; wait $zentyr 2>/dev/null || true
}

for skin in "GrayPlastic (internal)" "Dark Shop (internal)" "High Contrast (internal)" "Native (internal)"; do
  printf '[General]\nSkin%%20Name=%s\nMach%%20Location=%s\nMach%%20Profile=Mach3Mill\n' \
    "$skin" "$build/bin/hostsim" >"$settings/Settings.conf"
  shown_after; cold=$ms; coldcpu=$cpu
  warm=(); warmcpu=()
  for i in 1 2 3 4 5; do shown_after; warm+=("$ms"); warmcpu+=("$cpu"); done
  median=$(printf '%s\n' "${warm[@]}" | sort -n | sed -n 3p)
  mediancpu=$(printf '%s\n' "${warmcpu[@]}" | sort -n | sed -n 3p)
  echo "$skin: cold $cold ms ($coldcpu ms CPU), warm median $median ms ($mediancpu ms CPU)" \
       "(warm: ${warm[*]})"
done
