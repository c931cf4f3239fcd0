#!/usr/bin/env bash
# Takes the screenshots docs/skin-*.png: the main window under each built-in skin and the
# sample skin file, attached to a fresh simulated machine taken out of reset, flood on.
# Usage: docs/skin-screenshots.sh [build-dir]   (needs xvfb, xdotool and imagemagick)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill ${zentyr:-} ${hostsim:-} ${xvfb:-} 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/run" "$work/home"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home" HOSTSIM_HOME="$work/home"
export XDG_CONFIG_HOME="$work/home/.config"
Xvfb -displayfd 3 -screen 0 1280x900x24 3>"$work/display" >/dev/null 2>&1 & xvfb=$!
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
settings="$XDG_CONFIG_HOME/Vuve3 Dazorudava"
mkdir -p "$settings"

for skin in "GrayPlastic (internal)" "Dark Shop (internal)" "High Contrast (internal)" \
            "Native (internal)" "Ocean"; do
  "$build/bin/hostsim" /p Mach3Mill >/dev/null 2>&1 & hostsim=$!
  until [ -S "$XDG_RUNTIME_DIR/zentyr-hostsim.sock" ]; do sleep 0.1; done
  printf '[General]\nSkin%%20Name=%s\nMach%%20Location=%s\nMach%%20Profile=Mach3Mill\nMach%%20Visible%%20On%%20Startup=FALSE\n' \
    "$skin" "$build/bin/hostsim" >"$settings/Settings.conf"
  "$build/bin/zentyr" >/dev/null 2>&1 & zentyr=$!
  until window=$(xdotool search --name "^Zentyr: Mach3Mill$" 2>/dev/null | head -1) && [ -n "$window" ]; do
    sleep 0.1
  done
  sleep 3
  xdotool mousemove --window "$window" 290 215 click 1 && sleep 0.5   # E-stop: out of reset
  xdotool mousemove --window "$window" 80 202 click 1 && sleep 0.6    # Flood on
  xdotool mousemove --window "$window" 320 255 && sleep 0.4
  name=$(sed 's/ (internal)//; s/ /-/g' <<<"$skin" | tr '[:upper:]' '[:lower:]')
  import -window "$window" "$out/skin-$name.png"
  kill $zentyr $hostsim; wait $zentyr $hostsim 2>/dev/null || true
  rm -f "$XDG_RUNTIME_DIR/zentyr-hostsim.sock"
done
