#!/usr/bin/env bash
# The additions on a real desktop, each piece a real program: a private X server (Xvfb),
# a private session bus (dbus-daemon), a tray (trayer) and a notification server (dunst).
#
#   bash tests/companion/desktop.sh PROGRAM
#
# 1. the tray takes the program's icon, and a right click on it opens the menu;
# 2. a reminder goes out as a notification and is withdrawn by "我已知晓";
#    without a notification server the reminder still works;
# 3. a second launch exits with 0 and brings the first one's window forward, also while the
#    first one shows a message box; the name is free again after the first one is killed;
# 4. a StatusNotifierItem tray (KDE Plasma and others): the item registers with the
#    watcher, its tooltip shows the time left, its menu lists the program's items over
#    dbusmenu, and an item chosen there does what the menu does (needs python3-dbus);
# 5. the same one instance without a session bus (lock file and pipe), stale lock included.
# Exits 77 (skipped) where a tool is missing.
set -euo pipefail

program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
icons=$(cd "$here/../../assets/icons/hicolor/32x32/apps" && pwd)
. "$here/../desktop-lib.sh"
need_tools Xvfb dbus-daemon dbus-monitor trayer dunst dunstctl xdotool xwininfo xmessage

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-companion.XXXXXX")
at_exit rm -rf "$scratch"
step() { echo "== $*"; }

# ---- X server and session bus --------------------------------------------------------
start_xvfb -screen 0 1280x800x24 -noreset
unset WAYLAND_DISPLAY
# A bus of its own that starts no services: a notification server runs only when we start one.
cat >"$scratch/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$scratch/bus</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
dbus-daemon --config-file="$scratch/bus.conf" --nofork >"$scratch/bus.log" 2>&1 &
started
wait_for 10 test -S "$scratch/bus" || die "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/bus
mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR=$scratch/runtime QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8

# The program with its own configuration folder ($1), in the background; sets $first.
launch() {
  mkdir -p "$1"
  XDG_CONFIG_HOME=$1 XDG_DATA_HOME=$1 "$program" >>"$scratch/program.log" 2>&1 &
  first=$!
  started
}
# Whether window $1 stands above window $2 (xwininfo lists the root's children topmost first).
above() {
  local stack
  stack=$(xwininfo -root -children) || return 1
  awk -v a="$(printf '0x%x' "$1")" -v b="$(printf '0x%x' "$2")" '
    $1 == a { found = 1; exit } $1 == b { exit } END { exit !found }' <<<"$stack"
}
# Ticks slot 1 (water), types one second, starts it and waits for its reminder; sets $reminder.
start_water_reminder() {
  local main
  main=$(visible_window Form1)
  click "$main" 368 16 9 12    # Check1
  click "$main" 528 48 81 57   # its seconds box
  xdotool key End BackSpace BackSpace 1
  click "$main" 192 424 289 41 # 确定选择并开始计时
  wait_for 10 window_named Form2 || die "no reminder window"
  reminder=$(visible_window Form2)
}
# Puts a window over the whole screen and over window $1; sets $cover (its process)
# and $cover_window.
cover_screen() {
  local target=$1
  xmessage -geometry 1280x800+0+0 cover >/dev/null 2>&1 &
  cover=$!
  started
  wait_for 10 eval 'cover_window=$(xdotool search --onlyvisible --class xmessage | sed -n 1p); [ -n "$cover_window" ]' ||
    die "xmessage did not start"
  wait_for 10 above "$cover_window" "$target" || die "the cover did not come over the window"
}
acknowledge() { click "$reminder" 232 232 121 49; wait_for 5 gone Form2 || die "the reminder stayed"; }
stop() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null || true; }

# ---- 1. Tray ---------------------------------------------------------------------------
step "tray icon in trayer"
trayer --edge top --align right --widthtype request --height 24 >"$scratch/trayer.log" 2>&1 &
started
wait_for 10 eval 'xdotool search --class trayer >/dev/null' || die "trayer did not start"
mkdir -p "$scratch/one"
printf '0,0,1,0,0,0,0,0,0\r\n' >"$scratch/one/Quorvane.txt"
launch "$scratch/one"
wait_for 20 window_named Form1 || die "the main window did not appear"
embedded() {
  local panel
  for panel in $(xdotool search --class trayer); do
    prints '("quorvane" ' xwininfo -tree -id "$panel" && return 0
  done
  return 1
}
wait_for 10 embedded || die "the tray did not take the program's icon"
icon=$(for p in $(xdotool search --class trayer); do xwininfo -tree -id "$p"; done |
  awk '/\("quorvane" / && !seen { print $1; seen = 1 }')
popups() { xwininfo -root -children | grep -c '("quorvane" ' || true; }
before=$(popups)
click "$icon" 11 11 0 0 3 # the right button, 11 pixels into the icon
wait_for 5 eval '[ "$(popups)" -gt "$before" ]' || die "a right click on the tray icon opened no menu"
xdotool key Escape

# ---- 2. Notifications ------------------------------------------------------------------
step "a reminder without a notification server"
start_water_reminder
acknowledge
kill -0 "$first" || die "the program ended"

step "a reminder as a notification, withdrawn by 我已知晓"
# The program's icon where an installed icon theme would have it.
printf '[global]\n    icon_path = %s\n' "$icons" >"$scratch/dunstrc"
dunst -config "$scratch/dunstrc" >"$scratch/dunst.log" 2>&1 &
started
wait_for 10 eval 'dunstctl count displayed >/dev/null 2>&1' || die "dunst did not start"
dbus-monitor --monitor "interface='org.freedesktop.Notifications'" "type='method_return'" >"$scratch/monitor.txt" 2>&1 &
started
monitor=$!
start_water_reminder
wait_for 10 eval '[ "$(dunstctl count displayed)" = 1 ]' || die "no notification is shown"
acknowledge
wait_for 3 eval '[ "$(dunstctl count displayed)" = 0 ]' || die "the notification stayed after 我已知晓"
history=$(dunstctl history)
for field in '"到时啦"' '"喝水：' '"Quorvane"' "\"$icons/quorvane.png\""; do
  grep -qF "$field" <<<"$history" || die "the notification lacks $field: $history"
done

step "a second launch while a reminder is open; the slot's next notification replaces its last"
start_water_reminder
XDG_CONFIG_HOME=$scratch/two timeout 20 "$program" >>"$scratch/program.log" 2>&1 || die "the second launch exited $?"
[ "$(xdotool search --onlyvisible --name '^Form1$' | wc -l)" = 1 ] || die "two main windows"
above "$reminder" "$(visible_window Form1)" || die "the reminder is not above the main window"
acknowledge
stop "$monitor"
prints 'boolean true' grep -A1 '"suppress-sound"' "$scratch/monitor.txt" || die "the notification makes its own sound"
grep -q 'member=CloseNotification' "$scratch/monitor.txt" || die "no CloseNotification"
# Each Notify's replaces_id (its second argument) and the id the server answered.
read -r replaces answered < <(awk '
  / member=Notify$/ { match($0, / serial=[0-9]+/); call = substr($0, RSTART + 8, RLENGTH - 8); arg = 0; next }
  call != "" && /^   / { if (++arg == 2) { replaces[++n] = $2 }; next }
  /^method return/ { match($0, /reply_serial=[0-9]+/); reply = substr($0, RSTART + 13, RLENGTH - 13); call = ""; next }
  reply != "" && /uint32/ { if (!(1 in id)) id[1] = $2; reply = ""; next }
  { call = "" }
  END { print replaces[2], id[1] }' "$scratch/monitor.txt")
[ -n "$answered" ] && [ "$replaces" = "$answered" ] ||
  die "the second notification does not replace the first (replaces $replaces, first was $answered)"

# ---- 3. One instance over the session bus ----------------------------------------------
step "a second launch brings the first forward and exits 0"
main=$(visible_window Form1)
cover_screen "$main"
XDG_CONFIG_HOME=$scratch/two timeout 20 "$program" >>"$scratch/program.log" 2>&1 || die "the second launch exited $?"
[ ! -e "$scratch/two" ] || die "the second launch touched its configuration folder"
wait_for 5 above "$main" "$cover_window" || die "the first instance did not come forward"
[ "$(xdotool search --onlyvisible --name '^Form1$' | wc -l)" = 1 ] || die "two main windows"
stop "$cover"

step "a second launch while the first shows a message box"
stop "$first"
launch "$scratch/empty" # no settings file: "未找到读档文件"
wait_for 20 window_named Quorvane || die "no message box at start"
box=$(visible_window Quorvane)
cover_screen "$box"
XDG_CONFIG_HOME=$scratch/two timeout 20 "$program" >>"$scratch/program.log" 2>&1 || die "the second launch exited $?"
[ "$(xdotool search --onlyvisible --name '^Quorvane$' | wc -l)" = 1 ] || die "a second message box"
wait_for 5 above "$box" "$cover_window" || die "the message box did not come forward"
stop "$cover"

step "the name is free again after the first instance was killed"
kill -9 "$first"
wait "$first" 2>/dev/null || true
launch "$scratch/one"
wait_for 20 window_named Form1 || die "no main window after the first instance died"
sleep 1
kill -0 "$first" || die "the new instance ended"
stop "$first"

# ---- 4. A StatusNotifierItem tray ----------------------------------------------------
python=$(command -v /usr/bin/python3 || command -v python3 || true)
if [ -n "$python" ] && "$python" -c 'import dbus, dbus.mainloop.glib, gi.repository.GLib' 2>/dev/null; then
  step "a StatusNotifierItem: registered, its tooltip and menu, an item chosen through dbusmenu"
  sni() { "$python" "$(dirname "${BASH_SOURCE[0]}")/sni.py" "$@"; }
  : >"$scratch/items"
  sni watcher "$scratch/items" >"$scratch/watcher.log" 2>&1 &
  started
  wait_for 10 prints "boolean true" dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher ||
    die "the watcher did not start"
  mkdir -p "$scratch/sni"
  printf '0,30,0,0,0,0,0,0,0\r\n' >"$scratch/sni/Quorvane.txt"
  launch "$scratch/sni"
  wait_for 20 window_named Form1 || die "no main window"
  wait_for 10 test -s "$scratch/items" || die "no item registered with the watcher"
  item=$(head -n 1 "$scratch/items")
  main=$(visible_window Form1)
  click "$main" 368 16 9 12    # Check1: 0:30:00
  click "$main" 192 424 289 41 # 确定选择并开始计时
  wait_for 10 prints "^喝水 0:29:5[0-9]$" sni tooltip "$item" ||
    die "the item's tooltip has no time left: $(sni tooltip "$item" 2>&1)"
  prints "^远眺 未计时$" sni tooltip "$item" || die "the tooltip lacks 远眺 未计时"
  expected='显示主窗口
提醒记录
-
暂停全部提醒 30 分钟
暂停全部提醒 1 小时
继续计时
-
到时后自动重新计时
离开电脑时暂停计时
登录后自动启动
-
选项…
退出'
  [ "$(sni menu "$item")" = "$expected" ] || die "the item's menu: $(sni menu "$item" 2>&1)"
  sni click "$item" "暂停全部提醒 30 分钟" || die "dbusmenu Event failed"
  wait_for 10 prints "^已暂停，至 [0-2][0-9]:[0-5][0-9] 继续$" sni tooltip "$item" ||
    die "choosing the pause through dbusmenu did not pause: $(sni tooltip "$item" 2>&1)"
  sni click "$item" "提醒记录" || die "dbusmenu Event failed"
  wait_for 10 window_named 提醒记录 || die "提醒记录 did not open through dbusmenu"
  stop "$first"
else
  echo "skipped: the StatusNotifierItem check needs python3 with dbus and gi"
fi

# ---- 5. One instance without a session bus ---------------------------------------------
step "without a session bus: lock file and pipe"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-bus
launch "$scratch/one"
wait_for 20 window_named Form1 || die "no main window without a bus"
main=$(visible_window Form1)
[ -e "$XDG_RUNTIME_DIR/io.github.quorvane.Quorvane.lock" ] || die "no lock file"
cover_screen "$main"
XDG_CONFIG_HOME=$scratch/two timeout 20 "$program" >>"$scratch/program.log" 2>&1 || die "the second launch exited $?"
wait_for 5 above "$main" "$cover_window" || die "the first instance did not come forward"
stop "$cover"
kill -9 "$first"
wait "$first" 2>/dev/null || true
launch "$scratch/one" # its lock and pipe are left behind
wait_for 20 window_named Form1 || die "a stale lock file kept the program from starting"
sleep 1
kill -0 "$first" || die "the new instance ended"
echo "all companion desktop checks passed"
