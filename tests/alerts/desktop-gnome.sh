#!/usr/bin/env bash
# Reminders in a real GNOME Shell session: the shell headless as a Wayland compositor with
# XWayland, on a session bus and a system bus of its own, the real program started as
# from a terminal of the session (it goes through XWayland by itself), and the user in a
# Wayland terminal (weston-terminal) that writes every key it gets to a file. Every key
# and click is real input, made by a virtual keyboard and pointer in the shell; the
# windows, their stacking, the focus and the banners are read from the shell (the test's
# extension, gnome-shell/extension.js, allows its Eval method).
#
#   water      opens while the user types in the terminal on workspace 1 (the main
#              window is on 0): it must be shown there, above the terminal, leave every
#              key to the terminal, put up exactly one banner (the program's own
#              notification, no "“Form1” is ready"), take the focus when clicked, and
#              after "我已知晓" the terminal has the focus again and gets the keys;
#   away       with "离开电脑时暂停计时" after 1 minute: while the user keeps typing
#              in the terminal for more than that minute, the countdowns go on (the
#              tray's tooltip, read as a tray host reads it); once he stops, they are
#              held after the minute; a key pressed again and they go on.
#
# Prints one line per check; exits 1 if a check fails, 77 (skipped) when a tool is
# missing.
#
#   bash tests/alerts/desktop-gnome.sh PROGRAM SCRATCH_DIR
set -euo pipefail

program=$1
scratch=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../desktop-lib.sh"

need_tools gnome-shell gjs Xwayland dbus-daemon dbus-run-session weston-terminal
need_python_dbus
in_private_x11_sockets "$0" "$@"

extension=quorvane-test@quorvane.github.io
if [ -z "${QUORVANE_DESKTOP_TEST_BUS:-}" ]; then
  fresh_home
  # Without logind the shell still wants a system bus: one of its own.
  start_system_bus
  # The shell's settings in a key file: the test's extension on, no welcome tour.
  mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings" "$XDG_DATA_HOME/gnome-shell/extensions"
  printf '%s\n' "[org/gnome/shell]" "enabled-extensions=['$extension']" \
    "welcome-dialog-last-shown-version='999'" >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
  cp -r "$here/gnome-shell" "$XDG_DATA_HOME/gnome-shell/extensions/$extension"
  rc=0
  QUORVANE_DESKTOP_TEST_BUS=1 dbus-run-session -- bash "$0" "$@" || rc=$?
  exit "$rc"
fi
export GSETTINGS_BACKEND=keyfile NO_AT_BRIDGE=1 LC_ALL=C.UTF-8
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
unset DISPLAY WAYLAND_DISPLAY SESSION_MANAGER QT_QPA_PLATFORM

# ---- The session --------------------------------------------------------------------
gnome-shell --headless --wayland --virtual-monitor 1280x800 --wayland-display quorvane-gnome \
  >"$scratch/shell.log" 2>&1 &
started
shell_pid=$!
shell() { "$python" "$here/gnome-shell.py" "$@" 2>>"$scratch/eval.log"; }
ready() { kill -0 "$shell_pid" 2>/dev/null && prints '^true$' shell eval '"quorvane" in global'; }
wait_for 90 ready || die "GNOME Shell did not start with the test's extension"
shell eval 'imports.ui.main.overview.hide()' >/dev/null
export WAYLAND_DISPLAY=quorvane-gnome
# XWayland's display and key, as the shell hands them to the programs it starts.
DISPLAY=$(shell eval 'imports.gi.GLib.getenv("DISPLAY")' | tr -d '"')
XAUTHORITY=$(shell eval 'imports.gi.GLib.getenv("XAUTHORITY")' | tr -d '"')
[ -n "$DISPLAY" ] && [ "$DISPLAY" != null ] || die "GNOME Shell started no XWayland"
export DISPLAY XAUTHORITY
echo "$(gnome-shell --version) runs headless on $WAYLAND_DISPLAY, XWayland on $DISPLAY"

# The session as the shared checks (wayland-session.sh) read it and act on it.
# Workspaces count from 0.
field() {
  shell windows | awk -F '\t' -v t="$1" -v f="$2" '$12 == t {
    split("stack focus above workspace everywhere shown x y width height x11", names, " ")
    for (i in names) if (names[i] == f) n = i
    if (f == "workspace" && $5 == 1) print "all"; else print $n
    exit }'
}
focus_holder() {
  local w
  w=$(shell windows | awk -F '\t' '$2 == 1 { print $12 }')
  echo "${w:-no window}"
}
current_workspace() { shell eval 'global.quorvane.workspace()'; }
switch_workspace() { shell eval "global.quorvane.switchTo($1)" >/dev/null; }
move_to_workspace() { shell eval "global.quorvane.moveTo('$1', $2)" >/dev/null; }
activate() { shell eval "global.quorvane.activate('$1')" >/dev/null; }
wayland_window() { shell windows | awk -F '\t' '$11 == 0 && $6 == 1 { print $12; exit }'; }
click_in() {
  local x y
  x=$(field "$1" x) y=$(field "$1" y)
  shell eval "global.quorvane.pointAt($((x + $2)), $((y + $3)), true)" >/dev/null
  sleep 0.3
}
start_typing() { shell eval 'global.quorvane.startTyping(100)' >/dev/null; }
typed_so_far() { shell eval 'global.quorvane.typed()' | tr -d '"'; }
stop_typing() { shell eval 'global.quorvane.stopTyping()' >/dev/null; }
press_key() { shell eval "global.quorvane.press('7')" >/dev/null; }
. "$here/wayland-session.sh"

start_program
open_terminal
# The session's own banners (about the session) are up by now: from here on every
# banner is counted.
banners_before=$(shell banners | grep -c . || true)
start_and_go_to_work 1
check_reminder_in_front 1 0
banners=$(shell banners | tail -n +$((banners_before + 1)))
count=$(grep -c . <<<"$banners" || true)
if [ "$count" = 1 ] && grep -q '^Quorvane: 到时啦: 喝水：' <<<"$banners"; then
  result banners 1 "one banner, the program's notification: $banners"
else
  result banners 0 "$count banners: ${banners//$'\n'/ | }"
fi
check_click_and_dismissal
check_away
finish "the reminders reach the user in GNOME Shell"
