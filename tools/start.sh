#!/usr/bin/env bash
# Builds Zentyr and starts it; it launches and attaches to the simulated machine. Without a
# display it runs on a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
extra=()
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then extra=(xvfb xauth); fi
tools/deps.sh "${extra[@]}"
tools/build.sh
if ((${#extra[@]})); then
  exec xvfb-run -a build/bin/zentyr
fi
exec build/bin/zentyr
