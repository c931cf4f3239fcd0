#!/usr/bin/env bash
# Builds Zentyr and lcnchost, starts the simulated LinuxCNC mill headless with lcnchost serving
# it, and starts Zentyr with "Mach Location" pointing at lcnchost. Zentyr keeps the settings and
# desktop layout of these sessions in build/linuxcnc-session/, apart from its simulator
# sessions. Closing Zentyr ends the LinuxCNC session. Without a display Zentyr runs on a
# virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
extra=()
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then extra=(xvfb xauth); fi
tools/deps.sh linuxcnc-uspace linuxcnc-uspace-dev libboost-dev "${extra[@]}"
tools/build.sh
if [[ ! -x build/bin/lcnchost ]]; then
  echo "lcnchost was not built: LinuxCNC's development files are missing." >&2
  exit 1
fi
if [[ -e /tmp/linuxcnc.lock ]]; then
  echo "Another LinuxCNC session runs on this computer (/tmp/linuxcnc.lock); end it first." >&2
  exit 1
fi

bin=$(pwd)/build/bin
session=$(pwd)/build/linuxcnc-session
mkdir -p "$session"
rm -rf "$session/config" "$session/lcnchost.log"
cp -r "$bin/linuxcnc-config" "$session/config"  # LinuxCNC writes beside its configuration
log=$session/lcnchost.log

lcnc_env=(PATH="$bin:$PATH" LCNCHOST_LOG="$log")
if [[ $(id -u) == 0 ]]; then
  # LinuxCNC's real-time part refuses root without an ordinary user to fall back to.
  fifo=$(mktemp -d)
  chown nobody "$fifo"
  lcnc_env+=(RTAPI_UID="$(id -u nobody)" RTAPI_FIFO_PATH="$fifo/rtapi_fifo")
fi
(cd "$session/config" && exec env -u DISPLAY "${lcnc_env[@]}" linuxcnc zentyr-mill.ini \
   </dev/null >"$session/linuxcnc.out" 2>&1) &
lcnc=$!

follow=
stop_linuxcnc() {
  local host
  host=$(pgrep -P "$lcnc" -x lcnchost || true)
  if [[ -n "$host" ]]; then kill "$host" 2>/dev/null || true; fi
  wait "$lcnc" 2>/dev/null || true
  if [[ -n "$follow" ]]; then kill "$follow" 2>/dev/null || true; fi
}
trap stop_linuxcnc EXIT

echo "Starting LinuxCNC (log: $log)"
for _ in $(seq 1 600); do
  if grep -q "LinuxCNC answers" "$log" 2>/dev/null; then break; fi
  if ! kill -0 "$lcnc" 2>/dev/null; then
    echo "LinuxCNC did not come up:" >&2
    cat "$log" "$session/linuxcnc.out" >&2 2>/dev/null || true
    exit 1
  fi
  sleep 0.1
done

# LinuxCNC's messages (refusals, program errors) show here while Zentyr runs.
tail -n +1 -f "$log" &
follow=$!

# Zentyr's settings for these sessions: the controller is lcnchost.
export XDG_CONFIG_HOME=$session/zentyr-config
mkdir -p "$XDG_CONFIG_HOME/Vuve3 Dazorudava"
settings="$XDG_CONFIG_HOME/Vuve3 Dazorudava/Settings.conf"
if [[ -f "$settings" ]] && grep -q '^Mach%20Location=' "$settings"; then
  sed -i "s|^Mach%20Location=.*|Mach%20Location=$bin/lcnchost|" "$settings"
elif [[ -f "$settings" ]] && grep -q '^\[General\]' "$settings"; then
  sed -i "/^\[General\]/a Mach%20Location=$bin/lcnchost" "$settings"
else
  printf '[General]\nMach%%20Location=%s\nMach%%20Profile=ZentyrMill\n' "$bin/lcnchost" >>"$settings"
fi

if ((${#extra[@]})); then
  xvfb-run -a "$bin/zentyr"
else
  "$bin/zentyr"
fi
