#!/usr/bin/env bash
# Reminders on a real desktop: starts a private X server (Xvfb) with a session bus and
# one of Debian's window managers, the real program on the first workspace (0), and the
# user's program, a terminal that writes every key it gets to a file, under another
# program's always-on-top window on the second (1). Four reminders fire:
#
#   water     while the user types in the terminal on workspace 1: it must be viewable
#             there and stay in view when he moves to 0, keep its size and centring
#             over the main window, stack above the always-on-top window, leave every
#             key to the terminal until he clicks it, and after "我已知晓" the terminal
#             has the focus again and gets the keys typed on;
#   eye rest  the same, with the terminal and the always-on-top window on the main
#             window's workspace, where the user goes to our main window instead of
#             clicking the reminder;
#   water     again, set by the user in our main window, while he types in a terminal
#             he has opened since and made full screen, which the window manager keeps
#             above every always-on-top window: the reminder must be viewable above it
#             in the X stacking order (it is shown past the window manager, so the
#             manager's own stacking list does not name it), stay there when the window
#             manager raises the full-screen window again, keep its size and centring,
#             leave every key to the terminal, take the focus when clicked, and after
#             "我已知晓" the terminal has the focus again;
#   water     once more, while the user works in our main window: above the always-on-
#             top window with the focus at once, and the main window has it again
#             afterwards.
#
# These four run with the hold while presenting switched off in the options file, so
# that a reminder opens over the full-screen terminal. Then the program starts again
# with the options a new user has, where the hold is on:
#
#   water     falls due while the user is in a full-screen terminal: no reminder while
#             the terminal stays full screen; it opens as soon as the terminal leaves
#             full screen.
#
# Prints one line per check and two summary rows; exits 1 if a check fails, 77 (skipped)
# when the window manager or a tool is missing or the window manager does not start.
#
#   bash tests/alerts/desktop-reminder.sh PROGRAM WINDOW_MANAGER SCRATCH_DIR
#
# WINDOW_MANAGER: openbox, xfwm4, metacity, marco or kwin_x11.
set -euo pipefail

program=$1
wm=$2
scratch=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../desktop-lib.sh"

case "$wm" in
openbox | xfwm4 | metacity | marco | kwin_x11) ;;
*)
  echo "unknown window manager: $wm" >&2
  exit 2
  ;;
esac
need_tools Xvfb xdotool wmctrl xterm xprop xwininfo dbus-run-session "$wm"

# Everything below runs on a session bus of its own, as a desktop session has one. The
# scratch home and folders are in place before the bus starts: the services it starts on
# demand (xfwm4's settings service among them) write into the home they inherit from it,
# never into the real one of whoever runs the tests.
if [ -z "${QUORVANE_DESKTOP_TEST_BUS:-}" ]; then
  fresh_home
  exec env QUORVANE_DESKTOP_TEST_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 LC_ALL=C.UTF-8 KWIN_COMPOSE=N
unset WAYLAND_DISPLAY SESSION_MANAGER
# Two workspaces for kwin, which starts with one.
printf '[Desktops]\nNumber=2\nRows=1\n' >"$XDG_CONFIG_HOME/kwinrc"

# ---- X server and window manager ----------------------------------------------------
start_xvfb -screen 0 1280x800x24
wm_ready() {
  kill -0 "$wm_pid" 2>/dev/null || return 1
  wmctrl -m >/dev/null 2>&1 || return 1
  [ "$(wmctrl -d 2>/dev/null | wc -l)" -ge 2 ]
}
if ! { start_wm "$wm" && wait_for 10 wm_ready; }; then
  wmctrl -n 2 >/dev/null 2>&1 || true
  wait_for 5 wm_ready || {
    log_tail
    skip "$wm did not start with two workspaces on this X server"
  }
fi
echo "$wm runs on $DISPLAY: $(wmctrl -m | sed -n 's/^Name: //p')"

# ---- Helpers ------------------------------------------------------------------------
root_property() { xprop -root -notype "$1" 2>/dev/null | sed -n 's/^[^=#]*[=#] *//p'; }
# The windows of a root window list (_NET_CLIENT_LIST_STACKING: bottom first) in decimal.
window_list() {
  root_property "$1" | tr ',' '\n' | while read -r w; do
    case $w in 0x*) printf '%d\n' "$w" ;; esac
  done
}
stacking() { window_list _NET_CLIENT_LIST_STACKING; }
# The list is read whole before it is searched: grep -q stops at the first match, and the
# writer's broken pipe would then fail the check under pipefail.
managed() { local list; list=$(window_list _NET_CLIENT_LIST) && grep -q -x "$1" <<<"$list"; }
active_window() {
  local w
  w=$(root_property _NET_ACTIVE_WINDOW)
  w=${w%%,*} # xfwm4 writes a second value (0x0) after the window
  case $w in 0x*) printf '%d\n' "$w" ;; *) echo 0 ;; esac
}
current_desktop() { root_property _NET_CURRENT_DESKTOP; }
is_active() { [ "$(active_window)" = "$1" ]; }
# Index of window $1 in the stacking order, bottom 0; empty when not listed.
stack_index() { stacking | grep -n -x "$1" | cut -d: -f1 || true; }
# The window that has the keyboard focus (X input focus), in decimal.
x_focus() { xdotool getwindowfocus -f 2>/dev/null || echo 0; }
has_x_focus() { [ "$(x_focus)" = "$1" ]; }
# The child of the root window that holds window $1 (its window manager frame), decimal.
toplevel_of() {
  local w=$1 info root parent
  while :; do
    info=$(xwininfo -children -id "$w") || return 1
    root=$(sed -n 's/^ *Root window id: \(0x[0-9a-fA-F]*\).*/\1/p' <<<"$info")
    parent=$(sed -n 's/^ *Parent window id: \(0x[0-9a-fA-F]*\).*/\1/p' <<<"$info")
    if [ -z "$parent" ] || [ $((parent)) = 0 ] || [ $((parent)) = $((root)) ]; then
      echo "$w"
      return 0
    fi
    w=$((parent))
  done
}
# Position of window $1's top-level window in the X stacking order as xwininfo prints
# the root's children, topmost first (1); empty when it is not there.
x_stack_position() {
  local top
  top=$(toplevel_of "$1") || return 0
  xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-fA-F]*\) .*/\1/p' | while read -r w; do
    printf '%d\n' "$w"
  done | grep -n -x "$top" | cut -d: -f1 || true
}
viewable() { local info; info=$(xwininfo -id "$1" 2>/dev/null) && grep -q 'Map State: IsViewable' <<<"$info"; }
on_desktop() { [ "$(current_desktop)" = "$1" ]; }
switch_desktop() {
  wmctrl -s "$1"
  wait_for 5 on_desktop "$1" || die "could not switch to workspace $1"
}
activate() {
  wmctrl -i -a "$1"
  wait_for 5 is_active "$1" || die "could not activate window $1"
}

where_is_focus() {
  local a
  a=$(active_window)
  case $a in
  "$terminal") echo "the terminal" ;;
  "$main") echo "the main window" ;;
  "$on_top") echo "the always-on-top window" ;;
  "${reminder:-none}") echo "the reminder" ;;
  0) echo "no window" ;;
  *) echo "window $a" ;;
  esac
}
typed() { cat "$scratch/typed"; }
typed_is() { [ "$(typed)" = "$1" ]; }

# The user types in the terminal, ten keys at a time, until two seconds after the
# reminder named $1 appears (sets reminder, empty if none did); what he typed is added
# to $expected.
type_across() {
  local name=$1 i
  rm -f "$scratch/stop"
  (
    while [ ! -e "$scratch/stop" ]; do
      xdotool type --delay 100 0123456789
      printf 0123456789 >>"$scratch/expected"
    done
  ) &
  local typer=$!
  reminder=
  if wait_for 30 window_named "$name"; then
    reminder=$(visible_window "$name")
    sleep 2
  fi
  touch "$scratch/stop"
  wait "$typer"
  expected=$(cat "$scratch/expected")
}

# Whether the reminder is above the always-on-top window; $1 names the check.
check_stacking() {
  local r t
  r=$(stack_index "$reminder")
  t=$(stack_index "$on_top")
  if [ -n "$r" ] && [ -n "$t" ] && [ "$r" -gt "$t" ]; then
    result "$1" 1 "the reminder is above the always-on-top window ($r > $t)"
  else
    result "$1" 0 "the reminder is not above the always-on-top window (positions ${r:-none}, ${t:-none})"
    row_stacking=below
  fi
}

# Every key reached the terminal, which kept the focus until the user came to us: $1
# names the check, the rest is what he does (it must give the reminder the focus).
check_keys() {
  local name=$1 got focus
  shift
  wait_for 3 typed_is "$expected" || true
  got=$(typed)
  focus=$(where_is_focus)
  if [ "$got" != "$expected" ] || [ "$focus" != "the terminal" ]; then
    result "$name" 0 "the terminal got ${#got} of ${#expected} keys; the focus is on $focus"
    row_keys="${#got} of ${#expected} keys reach the terminal, focus on $focus"
    return
  fi
  "$@"
  if wait_for 3 is_active "$reminder"; then
    result "$name" 1 "all ${#expected} keys reached the terminal, which kept the focus until: $*"
  else
    result "$name" 0 "all keys reached the terminal, but after '$*' the focus is on $(where_is_focus)"
  fi
}

# A click on "我已知晓" at $2 $3 closes reminder $1; then the terminal has the focus
# and gets the keys typed on. A failure is noted in the summary row's field $4.
check_dismissal() {
  local focus after=" and on" row=${4:-row_dismissal}
  click "$reminder" "$2" "$3" 121 49
  wait_for 5 gone "$1" || die "the reminder did not close on a click"
  wait_for 3 is_active "$terminal" || true
  focus=$(where_is_focus)
  xdotool type --delay 50 "$after"
  expected=$expected$after
  printf %s "$after" >>"$scratch/expected"
  if [ "$focus" = "the terminal" ] && wait_for 3 typed_is "$expected"; then
    result "$1 dismissal" 1 "the terminal has the focus again and gets the keys typed after"
  else
    result "$1 dismissal" 0 "the focus went to $focus; the terminal has '$(typed)'"
    printf -v "$row" 'focus to %s' "$focus"
  fi
}

# The reminder keeps its size ($2) and is centred over the main window (to the pixel
# both ways: an odd difference in size cannot be split evenly); $1 names the check.
check_look() {
  local main_centre centre dx dy
  client_area "$main"
  main_centre="$((X + W / 2)),$((Y + H / 2))"
  dx=$((2 * X + W)) dy=$((2 * Y + H))
  client_area "$reminder"
  centre="$((X + W / 2)),$((Y + H / 2))"
  dx=$((2 * X + W - dx)) dy=$((2 * Y + H - dy))
  if [ "${W}x$H" = "$2" ] && ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2)); then
    result "$1" 1 "$2, centred over the main window at $centre"
  else
    result "$1" 0 "${W}x$H centred at $centre, the main window's centre is $main_centre"
  fi
}

# The user sets the water reminder to $1 seconds in our main window and starts it; the
# always-on-top window is put out of his way meanwhile.
restart_water() {
  wmctrl -i -r "$on_top" -t 1
  activate "$main"
  click "$main" 368 16 9 12    # Check1, water
  click "$main" 528 48 81 57   # its seconds
  xdotool key End BackSpace "$1"
  click "$main" 192 424 289 41 # 确定选择并开始计时
  wmctrl -i -r "$on_top" -t 0
  wait_for 5 viewable "$on_top" || die "the always-on-top window did not come back"
}

# Whether the reminder is viewable above the full-screen terminal in the X stacking
# order; $1 names the check.
check_over_full_screen() {
  local r t
  r=$(x_stack_position "$reminder")
  t=$(x_stack_position "$terminal")
  if viewable "$reminder" && [ -n "$r" ] && [ -n "$t" ] && [ "$r" -lt "$t" ]; then
    result "$1" 1 "the reminder is viewable above the full-screen terminal (from the top: $r < $t)"
  else
    viewable "$reminder" || r="$r, not viewable"
    result "$1" 0 "the reminder is not above the full-screen terminal (from the top: ${r:-none}; ${t:-none})"
    row_full_screen=below
  fi
}

# The program, as from a terminal of the session; sets program_pid and main.
start_program() {
  QT_QPA_PLATFORM=xcb "$program" >>"$scratch/program.log" 2>&1 &
  started
  program_pid=$!
  wait_for 20 window_named Form1 || die "the main window did not appear"
  main=$(visible_window Form1)
  wait_for 5 managed "$main" || die "$wm does not manage the main window"
}
full_screen() { prints _NET_WM_STATE_FULLSCREEN xprop -id "$1" _NET_WM_STATE; }

# ---- The program: water in 3 seconds, eye rest in 20 --------------------------------
# Without the hold while presenting: the reminders open over the full-screen terminal.
printf '0,0,3,0,0,20,0,0,0\r\n' >"$XDG_CONFIG_HOME/Quorvane.txt"
mkdir -p "$XDG_CONFIG_HOME/Quorvane"
printf '[Reminders]\nHoldWhilePresenting=false\n' >"$XDG_CONFIG_HOME/Quorvane/Quorvane.conf"
start_program

# ---- The user's programs on the second workspace ------------------------------------
switch_desktop 1
: >"$scratch/typed"
: >"$scratch/expected"
xterm -T quorvane-user -geometry 80x10+20+20 \
  -e sh -c "stty raw -echo; exec cat >'$scratch/typed'" >"$scratch/xterm.log" 2>&1 &
started
# Another program's always-on-top window over the centre of the screen.
xterm -T quorvane-on-top -geometry 100x30+300+200 -e sleep 3600 >"$scratch/on-top.log" 2>&1 &
started
wait_for 15 window_named quorvane-user || die "the terminal did not appear"
wait_for 15 window_named quorvane-on-top || die "the always-on-top window did not appear"
terminal=$(visible_window quorvane-user)
on_top=$(visible_window quorvane-on-top)
wmctrl -i -r "$on_top" -b add,above
wait_for 5 sh -c "xprop -id $on_top _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" ||
  die "the always-on-top window did not go on top"

# ---- Start the two countdowns, then go back to work on the other workspace ----------
switch_desktop 0
activate "$main"
click "$main" 368 16 9 12    # Check1, water
click "$main" 368 144 9 12   # Check2, eye rest
click "$main" 192 424 289 41 # 确定选择并开始计时
switch_desktop 1
activate "$terminal"

row_workspace="never sees it" row_stacking=above row_keys="all keys reach the terminal"
row_dismissal="back to the terminal"
row_full_screen=above row_full_screen_keys="all keys reach the terminal"
row_full_screen_click="focus on a click" row_full_screen_dismissal="back to the terminal"

# ---- Water, while the user types on workspace 1 -------------------------------------
type_across Form2
[ -n "$reminder" ] || {
  result workspace 0 "no viewable water reminder on the user's workspace $(current_desktop)"
  echo "row | $wm | never sees it | - | - | - |"
  die "no reminder on the user's workspace"
}
on_desktop 1 || die "the user was taken to workspace $(current_desktop)"
check_stacking stacking
check_keys keys click "$reminder" 104 80 369 73 # its message
# It stays in front of the user when he moves on to another workspace.
switch_desktop 0
if wait_for 3 window_named Form2; then
  result workspace 1 "the reminder is viewable on workspace 1 (the main window is on 0), and on 0"
  row_workspace=seen
else
  result workspace 0 "the reminder is viewable on workspace 1, but gone when the user moves to 0"
fi
check_look look 581x322
switch_desktop 1
check_dismissal Form2 232 232

# ---- Eye rest, while the user types on the main window's workspace ------------------
wmctrl -i -r "$terminal" -t 0
wmctrl -i -r "$on_top" -t 0
switch_desktop 0
activate "$terminal"
type_across Form3
[ -n "$reminder" ] || die "the eye-rest reminder did not appear"
check_stacking "stacking over the main window"
check_keys "keys over the main window" wmctrl -i -a "$main" # our program
check_dismissal Form3 208 208

# ---- Water again, while the user types in a full-screen terminal -------------------
restart_water 5
# A terminal opened after the reminder window, so that it lies above it until raised.
xterm -T quorvane-full-screen -e sh -c "stty raw -echo; exec cat >>'$scratch/typed'" \
  >"$scratch/full-screen.log" 2>&1 &
started
full_screen_pid=$!
wait_for 15 window_named quorvane-full-screen || die "the full-screen terminal did not appear"
terminal=$(visible_window quorvane-full-screen)
wmctrl -i -r "$terminal" -b add,fullscreen
wait_for 5 full_screen "$terminal" || die "the terminal did not go full screen"
activate "$terminal"
gone Form2 || die "the water reminder came before the terminal went full screen"
type_across Form2
[ -n "$reminder" ] || die "the water reminder did not appear over the full-screen terminal"
check_over_full_screen "full-screen stacking"
check_look "full-screen look" 581x322
wait_for 3 typed_is "$expected" || true
got=$(typed)
if [ "$got" = "$expected" ] && is_active "$terminal" && has_x_focus "$terminal"; then
  result "full-screen keys" 1 "all ${#expected} keys reached the full-screen terminal, which kept the focus"
else
  result "full-screen keys" 0 \
    "the terminal got ${#got} of ${#expected} keys; the focus is on $(where_is_focus) (X focus $(x_focus))"
  row_full_screen_keys="${#got} of ${#expected} keys reach the terminal"
fi
# The window manager restacks: another window comes to the front, then the full-screen
# terminal again, which it raises above everything it handles.
activate "$on_top"
activate "$terminal"
check_over_full_screen "full-screen restacking"
click "$reminder" 104 80 369 73 # its message
if wait_for 3 has_x_focus "$reminder"; then
  result "full-screen click" 1 "a click gives the reminder the keyboard focus"
else
  result "full-screen click" 0 "after a click the keyboard focus is on window $(x_focus), not the reminder"
  row_full_screen_click="no focus on a click"
fi
check_dismissal Form2 232 232 row_full_screen_dismissal
kill "$full_screen_pid"
wait_for 5 gone quorvane-full-screen || die "the full-screen terminal did not close"

# ---- Water once more, while the user works in our main window -----------------------
restart_water 3
# The always-on-top window's return may have taken the focus (xfwm4 gives it one now
# and then): the user goes back to the main window.
activate "$main"
wait_for 30 window_named Form2 || die "the water reminder did not appear over the main window"
reminder=$(visible_window Form2)
check_stacking "own program stacking"
wait_for 3 is_active "$reminder" || true
if is_active "$reminder"; then
  sleep 1.5 # past the key guard
  xdotool key Return
  wait_for 5 gone Form2 || die "Enter did not acknowledge the focused reminder"
  if wait_for 3 is_active "$main"; then
    result "own program" 1 "the reminder had the focus at once; afterwards the main window has it again"
  else
    result "own program" 0 "after the reminder the focus is on $(where_is_focus), not the main window"
  fi
else
  result "own program" 0 "the reminder did not take the focus from our main window ($(where_is_focus) has it)"
fi

kill -0 "$program_pid" 2>/dev/null || die "the program exited"

# ---- Water over a full-screen terminal, with the hold while presenting -------------
# The program again, with the options a new user has: the hold is on. The user's
# earlier windows are closed first: the always-on-top one would lie over the main window.
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
rm -f "$XDG_CONFIG_HOME/Quorvane/Quorvane.conf"
# By their ids: the terminal may be on a workspace out of view, where a window manager that
# unmaps such windows leaves it unseen by a search for viewable windows.
closed() { ! xprop -id "$1" WM_NAME >/dev/null 2>&1; }
wmctrl -i -c "$on_top"
wmctrl -i -c "$terminal"
wait_for 5 closed "$on_top" && wait_for 5 closed "$terminal" || die "the user's windows did not close"
# The user's full-screen program on workspace 1, there before the countdown starts.
switch_desktop 1
xterm -T quorvane-presenting -e sleep 3600 >"$scratch/presenting.log" 2>&1 &
started
wait_for 15 window_named quorvane-presenting || die "the presenting terminal did not appear"
presenting=$(visible_window quorvane-presenting)
wmctrl -i -r "$presenting" -b add,fullscreen
wait_for 5 full_screen "$presenting" || die "the presenting terminal did not go full screen"
switch_desktop 0
printf '0,0,6,0,0,0,0,0,0\r\n' >"$XDG_CONFIG_HOME/Quorvane.txt"
start_program
activate "$main"
click "$main" 368 16 9 12    # Check1, water
click "$main" 192 424 289 41 # 确定选择并开始计时
due=$((SECONDS + 6))
switch_desktop 1
activate "$presenting"
gone Form2 || die "the water reminder came before the user was back in the full-screen terminal"
if wait_for $((due + 4 - SECONDS)) window_named Form2; then
  result "hold while presenting" 0 "the water reminder opened over the full-screen terminal"
else
  result "hold while presenting" 1 "no reminder while the terminal is full screen, 4 s past its time"
fi
wmctrl -i -r "$presenting" -b remove,fullscreen
if wait_for 10 window_named Form2; then
  result "after presenting" 1 "the water reminder opened as soon as the terminal left full screen"
  reminder=$(visible_window Form2)
  sleep 1 # placed by the window manager
  click "$reminder" 232 232 121 49 # 我已知晓
  wait_for 5 gone Form2 || die "the reminder did not close on a click"
else
  result "after presenting" 0 "no reminder after the terminal left full screen"
fi
kill -0 "$program_pid" 2>/dev/null || die "the program exited"

echo "row | $wm | $row_workspace | $row_stacking | $row_keys | $row_dismissal |"
echo "full-screen row | $wm | $row_full_screen | $row_full_screen_keys | $row_full_screen_click |" \
  "$row_full_screen_dismissal |"
finish "the reminders reach the user under $wm"
