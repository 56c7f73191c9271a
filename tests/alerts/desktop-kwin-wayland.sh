#!/usr/bin/env bash
# Reminders in a real KDE Plasma compositor: KWin headless (virtual output) as a Wayland
# compositor with XWayland, on a session bus of its own, the real program started as from
# a terminal of the session (it goes through XWayland by itself), and the user in a
# Wayland terminal (weston-terminal) that writes every key it gets to a file. Keys and
# clicks are real input, made through KWin's fake input interface (FAKE_INPUT, a small
# client built with the tests); the windows, their stacking and the focus are read
# through KWin scripting over D-Bus (kwin.py).
#
#   water      opens while the user types in the terminal on workspace 2 (the main
#              window is on 1): it must be shown there, above the terminal, leave every
#              key to the terminal while the main window asks for attention (KWin shows
#              it in the task bar), take the focus when clicked, and after "我已知晓"
#              the terminal has the focus again and gets the keys;
#   away       with "离开电脑时暂停计时" after 1 minute: while the user keeps typing
#              in the terminal for more than that minute, the countdowns go on (the
#              tray's tooltip, read as a tray host reads it); once he stops, they are
#              held after the minute; a key pressed again and they go on.
#
# The installed kwin_wayland carries file capabilities that a container may refuse to
# run; the test runs a copy without them.
#
# Prints one line per check; exits 1 if a check fails, 77 (skipped) when a tool is
# missing.
#
#   bash tests/alerts/desktop-kwin-wayland.sh PROGRAM SCRATCH_DIR FAKE_INPUT
set -euo pipefail

program=$1
scratch=$2
fake_input=${3:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../desktop-lib.sh"

need_tools kwin_wayland Xwayland dbus-run-session weston-terminal
[ -n "$fake_input" ] && [ -x "$fake_input" ] ||
  skip "the fake input client was not built (libwayland-dev and plasma-wayland-protocols)"
need_python_dbus
in_private_x11_sockets "$0" "$@"

if [ -z "${QUORVANE_DESKTOP_TEST_BUS:-}" ]; then
  fresh_home
  mkdir -p "$scratch/bin"
  cp "$(command -v kwin_wayland)" "$scratch/bin/kwin_wayland"
  # Two workspaces.
  printf '[Desktops]\nNumber=2\nRows=1\n' >"$XDG_CONFIG_HOME/kwinrc"
  # KWin offers its fake input only to programs whose desktop entry asks for it.
  mkdir -p "$XDG_DATA_HOME/applications"
  printf '%s\n' "[Desktop Entry]" "Type=Application" "Name=Quorvane desktop test input" \
    "Exec=$fake_input" "NoDisplay=true" "X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input" \
    >"$XDG_DATA_HOME/applications/quorvane-fake-input.desktop"
  rc=0
  # A bus that starts no services: nothing answers that the test did not start.
  QUORVANE_DESKTOP_TEST_BUS=1 dbus-run-session --config-file="$here/../companion/session-bus.conf" -- \
    bash "$0" "$@" || rc=$?
  exit "$rc"
fi
# The QPainter compositor: no OpenGL to emulate in software.
export KWIN_COMPOSE=Q NO_AT_BRIDGE=1 LC_ALL=C.UTF-8 XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE
unset DISPLAY WAYLAND_DISPLAY SESSION_MANAGER QT_QPA_PLATFORM

# ---- The session --------------------------------------------------------------------
# KWin starts the program given to it (one command line) with the session's environment:
# it is written down.
QT_QPA_PLATFORM=wayland "$scratch/bin/kwin_wayland" --virtual --xwayland --socket quorvane-kwin \
  --width 1280 --height 800 "sh -c 'env >$scratch/session.env'" >"$scratch/kwin.log" 2>&1 &
started
kwin_pid=$!
kwin() { "$python" "$here/kwin.py" "$@" 2>>"$scratch/kwin-script.log"; }
ready() { kill -0 "$kwin_pid" 2>/dev/null && prints '^0$' kwin eval '0'; }
wait_for 60 test -s "$scratch/session.env" || die "KWin did not start a program"
wait_for 30 ready || die "KWin does not answer scripts"
export WAYLAND_DISPLAY=quorvane-kwin
DISPLAY=$(sed -n 's/^DISPLAY=//p' "$scratch/session.env")
XAUTHORITY=$(sed -n 's/^XAUTHORITY=//p' "$scratch/session.env")
[ -n "$DISPLAY" ] || die "KWin started no XWayland"
export DISPLAY
if [ -n "$XAUTHORITY" ]; then export XAUTHORITY; fi
echo "$("$scratch/bin/kwin_wayland" --version 2>/dev/null) runs headless on $WAYLAND_DISPLAY, XWayland on $DISPLAY"

# The user's hands.
mkfifo "$scratch/hands"
"$fake_input" <"$scratch/hands" >"$scratch/hands.log" 2>&1 &
started
exec 7>"$scratch/hands"
hands() { echo "$*" >&7; }

# The session as the shared checks (wayland-session.sh) read it and act on it.
# Workspaces count from 1.
field() {
  kwin windows | awk -F '\t' -v t="$1" -v f="$2" '$9 == t {
    split("stack focus above workspace shown x11 attention xid", names, " ")
    for (i in names) if (names[i] == f) n = i
    if (f == "workspace" && $4 == 0) print "all"; else print $n
    exit }'
}
focus_holder() {
  local w
  w=$(kwin windows | awk -F '\t' '$2 == 1 { print $9 }')
  echo "${w:-no window}"
}
window_js() { echo "workspace.clientList().find(c => c.caption === '$1')"; }
current_workspace() { kwin eval 'workspace.currentDesktop'; }
switch_workspace() { kwin eval "workspace.currentDesktop = $1" >/dev/null; }
move_to_workspace() { kwin eval "$(window_js "$1").desktop = $2" >/dev/null; }
activate() { kwin eval "workspace.activeClient = $(window_js "$1")" >/dev/null; }
wayland_window() { kwin windows | awk -F '\t' '$6 == 0 && $5 == 1 { print $9; exit }'; }
# An X window of the program: XWayland's screen is KWin's.
click_in() {
  client_area "$(field "$1" xid)"
  hands click $((X + $2)) $((Y + $3))
  sleep 0.3
}
start_typing() {
  : >"$scratch/sent"
  hands type 100 "$scratch/sent"
}
typed_so_far() { cat "$scratch/sent"; }
stop_typing() {
  hands stop
  sleep 0.2
}
press_key() { hands key 8; } # 7
. "$here/wayland-session.sh"

start_program
open_terminal
start_and_go_to_work 2
check_reminder_in_front 2 1
if [ "$(field Form1 attention)" = 1 ]; then
  result attention 1 "the main window asks for attention"
else
  result attention 0 "the main window does not ask for attention"
fi
check_click_and_dismissal
check_away
finish "the reminders reach the user in KWin"
