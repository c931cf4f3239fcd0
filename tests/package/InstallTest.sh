#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a scratch root and runs the
# installed programs there as a user would: `zentyr` from the path must start the installed
# hostsim from the user's own controller folder and attach to it, a second start must attach
# to the hostsim already running, and a termination request must end Zentyr through its close,
# leaving its settings and layout in the user's configuration folder.
# Usage: InstallTest.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done >&2; exit 1; }
# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
wait_for() { local n=$1; shift; until "$@"; do ((n-- > 0)) || return 1; sleep 0.1; done; }

# The package and what it holds.
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || fail "cpack"
deb=$(ls "$work"/package/zentyr_*.deb)
contents=$(dpkg-deb -c "$deb")
for path in usr/lib/zentyr/zentyr usr/lib/zentyr/hostsim usr/lib/zentyr/Mach3Mill.xml \
            usr/lib/zentyr/Skins/Ocean.zskin usr/bin/zentyr usr/bin/hostsim \
            usr/share/applications/zentyr.desktop usr/share/icons/hicolor/scalable/apps/zentyr.svg \
            usr/share/icons/hicolor/128x128/apps/zentyr.png; do
  grep -q " \./$path\( \|$\)" <<<"$contents" || fail "the package lacks /$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6network6 qt6-qpa-plugins; do
  grep -q "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done

root="$work/root"
dpkg -x "$deb" "$root"
[ "$(readlink "$root/usr/bin/zentyr")" = ../lib/zentyr/zentyr ] || fail "zentyr on the path"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/zentyr.desktop" || fail "desktop entry"
fi
grep -qx "Exec=zentyr" "$root/usr/share/applications/zentyr.desktop" || fail "desktop entry Exec"

# A user of their own: private home, runtime folder (socket) and journal of host calls.
home="$work/home"
mkdir -p "$home" && mkdir -m 700 "$work/run"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
       XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen HOSTSIM_JOURNAL="$work/journal.txt"
unset HOSTSIM_HOME DISPLAY WAYLAND_DISPLAY
export PATH="$root/usr/bin:$PATH"
controller="$home/.local/share/zentyr/hostsim"
settings="$home/.config/Vuve3 Dazorudava"

# The process running the installed program $1, if any.
running() {
  local proc
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/exe" 2>/dev/null)" = "$1" ] && { basename "$proc"; return 0; }
  done
  return 1
}
polled() { [ "$(grep -c "GetOEMLed(800)" "$work/journal.txt" 2>/dev/null)" -gt "$1" ]; }

zentyr >"$work/zentyr1.log" 2>&1 & pids+=($!)
wait_for 300 polled 0 || fail "the installed zentyr did not attach to a simulated host"
hostsim=$(running "$root/usr/lib/zentyr/hostsim") || fail "the installed hostsim is not running"
pids+=("$hostsim")
[ "$(running "$root/usr/lib/zentyr/zentyr")" = "${pids[0]}" ] || fail "not the installed zentyr"
[ "$(readlink "$controller/hostsim")" = "$root/usr/lib/zentyr/hostsim" ] || fail "host link"
[ -d "$controller/GCode" ] && [ -d "$controller/Macros/Mach3Mill" ] || fail "controller folders"
cmp -s "$controller/Mach3Mill.xml" "$root/usr/lib/zentyr/Mach3Mill.xml" || fail "profile copy"

kill -TERM "${pids[0]}"
wait_for 100 eval '! kill -0 "${pids[0]}" 2>/dev/null' || fail "zentyr did not end on a termination request"
grep -q "^Mach%20Location=$controller/hostsim$" "$settings/Settings.conf" || fail "settings file"
grep -q "^Skin%20Name=GrayPlastic (internal)$" "$settings/Settings.conf" || fail "skin name"
[ -s "$settings/Zentyr.dsktp" ] || fail "desktop layout file"

# A second start finds the simulated host running and attaches to it.
calls=$(grep -c "GetOEMLed(800)" "$work/journal.txt")
zentyr >"$work/zentyr2.log" 2>&1 & pids+=($!)
wait_for 150 polled "$calls" || fail "the second zentyr did not attach to the running host"
[ "$(running "$root/usr/lib/zentyr/hostsim")" = "$hostsim" ] || fail "a second hostsim was started"
kill -TERM "${pids[-1]}"
wait_for 100 eval '! kill -0 "${pids[-1]}" 2>/dev/null' || fail "the second zentyr did not end"
echo "installed programs start and attach to each other"
