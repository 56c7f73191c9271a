#!/usr/bin/env bash
# The screen a reminder opens on, with two screens side by side: a private X server
# (Xvfb) whose one wide screen is split into two monitors (RandR), openbox, the real
# program with its main window on the left screen, moved off the screen's middle, and a
# terminal on each screen. Three reminders fire:
#
#   water     while the user works in the terminal on the right screen (the pointer
#             is there): in the middle of the right screen;
#   eye rest  while he works in the terminal on the left screen: over the main window,
#             which is in view there;
#   toilet    the same, but with the main window minimized: in the middle of the left
#             screen.
#
# Prints one line per check; exits 1 if a check fails, 77 (skipped) when a tool is
# missing.
#
#   bash tests/alerts/desktop-screens.sh PROGRAM SCRATCH_DIR
set -euo pipefail

program=$1
scratch=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../desktop-lib.sh"

need_tools Xvfb xrandr openbox wmctrl xdotool xwininfo xterm dbus-run-session
if [ -z "${QUORVANE_DESKTOP_TEST_BUS:-}" ]; then
  fresh_home
  rc=0
  # A bus that starts no services: nothing answers that the test did not start.
  QUORVANE_DESKTOP_TEST_BUS=1 dbus-run-session --config-file="$here/../companion/session-bus.conf" -- \
    bash "$0" "$@" || rc=$?
  exit "$rc"
fi
export NO_AT_BRIDGE=1 LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY SESSION_MANAGER QT_QPA_PLATFORM

# ---- Two screens of 1280x800 side by side -------------------------------------------
start_xvfb -noreset -screen 0 2560x800x24 # the monitors are kept while no client is connected
xrandr --setmonitor left 1280/339x800/212+0+0 screen >"$scratch/xrandr.log" 2>&1 ||
  skip "the X server cannot be split into monitors"
xrandr --setmonitor right 1280/339x800/212+1280+0 none >>"$scratch/xrandr.log" 2>&1 ||
  skip "the X server cannot be split into monitors"
prints '^Monitors: 2' xrandr --listmonitors || die "the X server does not have two monitors"
start_wm openbox || die "openbox did not start"

# ---- The program: water in 6 s, eye rest in 16, toilet in 26 ------------------------
printf '0,0,6,0,0,16,0,0,26\r\n' >"$XDG_CONFIG_HOME/Quorvane.txt"
"$program" >"$scratch/program.log" 2>&1 &
started
program_pid=$!
wait_for 20 window_named Form1 || die "the main window did not appear"
main=$(visible_window Form1)
# Off the middle of the left screen, so that "over the main window" and "in the middle
# of the screen" are told apart.
xdotool windowmove --sync "$main" 60 40 2>/dev/null || xdotool windowmove "$main" 60 40
sleep 0.5

terminal() { # title, x
  xterm -T "$1" -geometry 60x10+"$2"+600 -e sleep 600 >"$scratch/$1.log" 2>&1 &
  started
  wait_for 15 window_named "$1" || die "the terminal $1 did not appear"
}
terminal left-terminal 40
terminal right-terminal 1320
left=$(visible_window left-terminal)
right=$(visible_window right-terminal)

# The user works in a terminal: it has the focus and the pointer is over it.
work_in() {
  client_area "$1"
  xdotool mousemove --sync $((X + 20)) $((Y + 20)) click 1
  xdotool windowactivate --sync "$1" 2>/dev/null || true
}
# Whether the reminder named $1 is centred (to 2 pixels) at $2,$3; $4 names the check,
# $5 says where that is; then a click on its "我已知晓" at $6,$7 closes it.
check_centre() {
  local r cx cy
  wait_for 20 window_named "$1" || die "the $1 reminder did not appear"
  r=$(visible_window "$1")
  sleep 0.5
  client_area "$r"
  cx=$((X + W / 2)) cy=$((Y + H / 2))
  if ((cx - $2 >= -2 && cx - $2 <= 2 && cy - $3 >= -2 && cy - $3 <= 2)); then
    result "$4" 1 "centred at $cx,$cy, $5"
  else
    result "$4" 0 "centred at $cx,$cy, not at $2,$3 ($5)"
  fi
  click "$r" "$6" "$7" 121 49
  wait_for 5 gone "$1" || die "the $1 reminder did not close on a click"
}

# Start all three.
xdotool windowactivate --sync "$main" 2>/dev/null || true
click "$main" 368 16 9 12    # Check1, water
click "$main" 368 144 9 12   # Check2, eye rest
click "$main" 368 272 9 12   # Check3, toilet
click "$main" 192 424 289 41 # 确定选择并开始计时

work_in "$right"
check_centre Form2 1920 400 "other screen" "the middle of the right screen, where the user works" 232 232

work_in "$left"
client_area "$main"
check_centre Form3 $((X + W / 2)) $((Y + H / 2)) "main window's screen" "over the main window" 208 208

xdotool windowminimize --sync "$main" 2>/dev/null || xdotool windowminimize "$main"
work_in "$left"
check_centre Form4 640 400 "minimized main window" "the middle of the left screen" 232 200

kill -0 "$program_pid" 2>/dev/null || die "the program exited"
finish "each reminder opens on the screen the user works on"
