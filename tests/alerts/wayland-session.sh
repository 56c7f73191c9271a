# What the tests in Wayland sessions share (desktop-gnome.sh, desktop-kwin-wayland.sh),
# sourced once the session runs and the script has defined how it reads and acts on it:
#
#   field TITLE FIELD       a window's stack (bottom 0), focus (1/0), shown (1/0),
#                           x11 (1/0) or workspace (a number, "all" on every one)
#   focus_holder            the title of the window with the focus
#   current_workspace, switch_workspace N, move_to_workspace TITLE N, activate TITLE
#   wayland_window          the title of the first shown window that is not X11's
#   click_in TITLE X Y      a click at X, Y of the program's window TITLE
#   start_typing            digits typed into the focused window, one a tenth of a second
#   typed_so_far            what has been typed since
#   stop_typing             no more typing
#   press_key               one more key (a 7)
#
# Uses program, scratch, here and python; sets terminal, item and typing_since.

shown() { [ "$(field "$1" shown)" = 1 ]; }
not_shown() { ! shown "$1"; }
focused() { [ "$(field "$1" focus)" = 1 ]; }
on_workspace() { [ "$(current_workspace)" = "$1" ]; }
# Asks for the window titled $1 to be activated (again), as the user brings it to the
# front; whether it has the focus.
brought() {
  activate "$1"
  sleep 0.3
  focused "$1"
}

# The program with the hold while away on after a minute, water due 4 s after it is
# started, eye rest in an hour; a tray host to read its tooltip from, as a tray reads it.
start_program() {
  sni() { "$python" "$here/../companion/sni.py" "$@"; }
  : >"$scratch/items"
  sni watcher "$scratch/items" >"$scratch/watcher.log" 2>&1 &
  started
  wait_for 10 prints "boolean true" dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher || die "the tray host did not start"
  printf '0,0,4,1,0,0,0,0,0\r\n' >"$XDG_CONFIG_HOME/Quorvane.txt"
  mkdir -p "$XDG_CONFIG_HOME/Quorvane"
  printf '[Reminders]\nAwayHold=true\nAwayAfterMinutes=1\n' >"$XDG_CONFIG_HOME/Quorvane/Quorvane.conf"
  "$program" >"$scratch/program.log" 2>&1 &
  started
  program_pid=$!
  wait_for 20 shown Form1 || die "the main window did not appear"
  [ "$(field Form1 x11)" = 1 ] || die "the program did not go through XWayland"
  wait_for 10 test -s "$scratch/items" || die "the program's tray icon did not register"
  item=$(head -n 1 "$scratch/items")
}
tooltip() { sni tooltip "$item" 2>/dev/null; }
away() { prints '已暂停（离开电脑）' tooltip; }
back() {
  local t
  t=$(tooltip) && ! grep -q '离开电脑' <<<"$t"
}

# The user's terminal, a Wayland window that writes every key it gets to a file.
open_terminal() {
  : >"$scratch/typed"
  printf '#!/bin/sh\nstty raw -echo\nexec cat >"%s"\n' "$scratch/typed" >"$scratch/typist"
  chmod +x "$scratch/typist"
  weston-terminal --shell="$scratch/typist" >"$scratch/terminal.log" 2>&1 &
  started
  terminal_up() {
    terminal=$(wayland_window)
    [ -n "$terminal" ]
  }
  wait_for 20 terminal_up || die "the terminal did not appear"
}

# The user starts water and eye rest in the main window, then goes to work in the
# terminal on workspace $1 and types.
start_and_go_to_work() {
  wait_for 10 brought Form1 || die "the main window did not take the focus"
  click_in Form1 372 21  # Check1, water
  click_in Form1 372 149 # Check2, eye rest
  click_in Form1 336 444 # 确定选择并开始计时
  move_to_workspace "$terminal" "$1"
  switch_workspace "$1"
  wait_for 5 on_workspace "$1" || die "could not switch to workspace $1"
  wait_for 10 brought "$terminal" || die "the terminal did not take the focus"
  start_typing
  typing_since=$SECONDS
}

# The water reminder comes while the user types on workspace $1 (the main window is on
# $2): shown there above the terminal, which keeps the focus and every key.
check_reminder_in_front() {
  local r t sent got workspace
  wait_for 30 shown Form2 || die "no water reminder on the user's workspace"
  sleep 2
  sent=$(typed_so_far)
  r=$(field Form2 stack) t=$(field "$terminal" stack)
  if [ "$r" -gt "$t" ]; then
    result stacking 1 "the reminder is above the terminal ($r > $t)"
  else
    result stacking 0 "the reminder is below the terminal ($r < $t)"
  fi
  workspace=$(field Form2 workspace)
  if on_workspace "$1" && { [ "$workspace" = all ] || [ "$workspace" = "$1" ]; }; then
    result workspace 1 "the reminder is shown on the user's workspace $1 (the main window is on $2)"
  else
    result workspace 0 "the reminder is on workspace $workspace, the user on $(current_workspace)"
  fi
  typed_is() { [ "$(cat "$scratch/typed")" = "$1" ]; }
  wait_for 3 typed_is "$sent" || true
  got=$(cat "$scratch/typed")
  if focused "$terminal" && [ "${got:0:${#sent}}" = "$sent" ]; then
    result keys 1 "all ${#sent} keys typed so far reached the terminal, which kept the focus"
  else
    result keys 0 "the terminal got ${#got} of ${#sent} keys; the focus is on $(focus_holder)"
  fi
}

# A click gives the reminder the focus; after "我已知晓" the terminal has it again and
# gets the keys typed on.
check_click_and_dismissal() {
  local before
  click_in Form2 288 116 # its message
  if wait_for 3 focused Form2; then
    result click 1 "a click gives the reminder the focus"
  else
    result click 0 "after a click the focus is on $(focus_holder)"
  fi
  click_in Form2 292 256 # 我已知晓
  wait_for 5 not_shown Form2 || die "the reminder did not close on a click"
  before=$(cat "$scratch/typed")
  if wait_for 3 focused "$terminal" && sleep 0.5 && [ "$(cat "$scratch/typed")" != "$before" ]; then
    result dismissal 1 "the terminal has the focus again and gets the keys typed on"
  else
    result dismissal 0 "the focus went to $(focus_holder)"
  fi
}

# The hold while away: not while the user types on past the minute, after the minute
# once he stops, and no longer once he presses a key.
check_away() {
  local kept=1 sent idle_since
  while ((SECONDS - typing_since < 75)); do
    if away; then
      kept=0
      break
    fi
    sleep 3
  done
  stop_typing
  sent=$(typed_so_far)
  if ((kept)) && [ "${#sent}" -gt 600 ]; then
    result "typing in a Wayland window" 1 "$((SECONDS - typing_since)) s of typing: the countdowns went on ($(tooltip | tr '\n' ' '))"
  else
    result "typing in a Wayland window" 0 "after $((SECONDS - typing_since)) s of typing (${#sent} keys) the tooltip says: $(tooltip | tr '\n' ' ')"
  fi
  idle_since=$SECONDS
  if wait_for 90 away; then
    result "doing nothing" 1 "held $((SECONDS - idle_since)) s after the last key"
  else
    result "doing nothing" 0 "not held $((SECONDS - idle_since)) s after the last key: $(tooltip | tr '\n' ' ')"
  fi
  press_key
  if wait_for 10 back; then
    result back 1 "a key pressed: the countdowns go on"
  else
    result back 0 "a key pressed, but the tooltip still says: $(tooltip | tr '\n' ' ')"
  fi
  kill -0 "$program_pid" 2>/dev/null || die "the program exited"
}
