#!/bin/sh
# Starts the program as a native Wayland client of a headless weston and checks that it
# keeps running and shows its main window: the toplevel "Form1" is created and a frame
# of it is handed to the compositor.
# Exits 77 (skipped) when weston or Qt's Wayland platform is missing.
#
#   sh packaging/test-wayland.sh PROGRAM SCRATCH_DIR
set -eu

program=$1
scratch=$2

command -v weston >/dev/null 2>&1 || { echo "SKIP: weston is missing"; exit 77; }
plugins=$(find /usr/lib /usr/local/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' 2>/dev/null | head -n 1)
[ -n "$plugins" ] || { echo "SKIP: Qt's Wayland platform (qt6-wayland) is missing"; exit 77; }

rm -rf "$scratch"
mkdir -p "$scratch/runtime" "$scratch/config"
chmod 700 "$scratch/runtime"
printf '0,30,0,1,0,0,2,0,0\r\n' >"$scratch/config/Quorvane.txt"
socket=quorvane-test-$$

weston_pid=
program_pid=
cleanup() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  [ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

XDG_RUNTIME_DIR=$scratch/runtime weston --backend=headless-backend.so --socket="$socket" \
  --idle-time=0 >"$scratch/weston.log" 2>&1 &
weston_pid=$!
i=0
while [ ! -S "$scratch/runtime/$socket" ]; do
  i=$((i + 1))
  [ $i -le 100 ] || { cat "$scratch/weston.log"; echo "FAIL: weston did not start" >&2; exit 1; }
  sleep 0.1
done

# No session bus: a Quorvane the user runs is another instance, not this one's first.
env -u DISPLAY XDG_RUNTIME_DIR="$scratch/runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland \
  DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-bus" \
  XDG_CONFIG_HOME="$scratch/config" WAYLAND_DEBUG=client "$program" >"$scratch/program.log" 2>&1 &
program_pid=$!
sleep 3
if ! kill -0 "$program_pid" 2>/dev/null; then
  tail -n 20 "$scratch/program.log" >&2
  echo "FAIL: the program did not keep running under Wayland" >&2
  exit 1
fi
grep -q 'set_title("Form1")' "$scratch/program.log" || { echo "FAIL: no main window toplevel" >&2; exit 1; }
# A buffer attached and committed after the toplevel exists: the window was drawn.
sed -n '/set_title("Form1")/,$p' "$scratch/program.log" | grep -q 'wl_surface@[0-9]*\.attach(wl_buffer' ||
  { echo "FAIL: the main window was never drawn" >&2; exit 1; }
echo "PASS: main window shown under Wayland (weston, headless)"
