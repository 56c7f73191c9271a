# Shared helpers of the scripts that drive the program on an X server (the desktop
# tests, the Windows installer's test, tools/screenshots.sh and tools/windows.sh),
# sourced by them (bash). A script sets scratch (its folder for logs and files) before it
# calls anything here. Sourcing defines functions and sets the traps on EXIT, INT and
# TERM, which end what the script started: a script registers its own last steps with
# at_exit rather than a trap of its own, and a shell that must keep its traps (one that
# sources tools/windows.sh) sources this in a subshell.
#
#   skip WHY                  exits 77 (skipped) with a reason
#   die WHY                   exits 1 with the reason and the end of every log in $scratch
#   need_tools TOOL...        skips unless every tool is on the PATH
#   need_python_dbus          skips unless Debian's python3 has dbus and gi; sets python
#   fresh_home                an empty home and XDG folders in $scratch, exported
#   started                   after "cmd &": the process is ended when the script ends
#   at_exit CMD...            runs CMD when the script ends, once those processes are gone
#   wait_for SECONDS CMD...   polls CMD (a tenth of a second apart) until it succeeds
#   prints PATTERN CMD...     whether CMD's whole output has a line matching PATTERN
#   result NAME 0|1 TEXT      prints one check's outcome; $failures counts those failed
#   finish WHAT               exits 1 if a check failed, else prints PASS
#   start_xvfb ARG...         a private X server (its display chosen by itself); sets DISPLAY
#   start_wm NAME             a stand-alone window manager on $DISPLAY (openbox, xfwm4,
#                             metacity, marco or kwin_x11), without session manager or
#                             compositor; false unless it manages the screen within 30 s
#                             (its check window on the root); sets wm_pid, logs to wm.log
#   start_system_bus          a system bus of the test's own, for programs that want one
#                             where the machine has none; sets DBUS_SYSTEM_BUS_ADDRESS
#   visible_window NAME       the viewable X window named exactly NAME, in decimal
#   window_named NAME, gone NAME
#   client_area WINDOW        sets X, Y, W and H to an X window's client area
#   click WINDOW X Y W H [BUTTON]
#                             clicks the middle of a control given inside an X window
#                             (W and H 0: a point), in the program's logical pixels: they
#                             are multiplied by $scale when the script sets it (the
#                             program's QT_SCALE_FACTOR); the left button unless given
#   in_private_x11_sockets "$0" "$@"
#                             runs the script again in a mount namespace of its own with
#                             an empty, world-writable /tmp/.X11-unix (compositors that
#                             start XWayland refuse a folder that others may not write)

skip() {
  echo "SKIP: $*"
  exit 77
}

log_tail() {
  local f
  for f in "$scratch"/*.log; do
    [ -s "$f" ] || continue
    echo "--- $(basename "$f"):"
    tail -n 15 "$f"
  done
}

die() {
  echo "FAIL: $*" >&2
  log_tail >&2
  exit 1
}

need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is missing (bash tools/setup.sh test installs it)"
  done
}

need_python_dbus() {
  # Debian's own python3 first: another one earlier on the PATH may lack the modules.
  python=$(command -v /usr/bin/python3 || command -v python3 || true)
  [ -n "$python" ] && "$python" -c 'import dbus, dbus.mainloop.glib, gi.repository.GLib' 2>/dev/null ||
    skip "python3 with dbus and gi is missing (python3-dbus, python3-gi)"
}

fresh_home() {
  rm -rf "$scratch"
  mkdir -p "$scratch/home" "$scratch/config" "$scratch/runtime" "$scratch/cache" "$scratch/data"
  chmod 700 "$scratch/runtime"
  export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
  export XDG_CACHE_HOME=$scratch/cache XDG_DATA_HOME=$scratch/data
}

desktop_lib_pids=()
desktop_lib_at_exit=()
started() { desktop_lib_pids+=("$!"); }
at_exit() { desktop_lib_at_exit+=("$(printf '%q ' "$@")"); }
desktop_lib_cleanup() {
  set +e
  local i
  for ((i = ${#desktop_lib_pids[@]} - 1; i >= 0; i--)); do
    kill "${desktop_lib_pids[i]}" 2>/dev/null
  done
  for ((i = ${#desktop_lib_pids[@]} - 1; i >= 0; i--)); do
    wait "${desktop_lib_pids[i]}" 2>/dev/null
  done
  for ((i = ${#desktop_lib_at_exit[@]} - 1; i >= 0; i--)); do
    eval "${desktop_lib_at_exit[i]}"
  done
}
trap desktop_lib_cleanup EXIT
trap 'exit 130' INT TERM

wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS <= deadline)) || return 1
    sleep 0.1
  done
}

# The output is read to its end before it is searched: grep -q in a pipe stops at the
# first match, and under pipefail the writer's broken pipe would fail a check that matched.
prints() {
  local out
  out=$("${@:2}") || return 1
  grep -q -e "$1" <<<"$out"
}

failures=0
result() {
  if [ "$2" = 1 ]; then
    echo "ok    $1: $3"
  else
    echo "FAIL  $1: $3"
    failures=$((failures + 1))
  fi
}

finish() {
  if ((failures)); then
    log_tail >&2
    exit 1
  fi
  echo "PASS: $*"
}

start_xvfb() {
  Xvfb -displayfd 3 "$@" -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
  started
  # A server that gives up (a bad argument, no free display) is not waited for.
  wait_for 10 desktop_lib_settled "$!" && test -s "$scratch/display" || die "Xvfb did not start"
  export DISPLAY=:$(head -n 1 "$scratch/display")
}

desktop_lib_settled() { test -s "$scratch/display" || ! kill -0 "$1" 2>/dev/null; }

start_wm() {
  local command
  case $1 in
  openbox) command=(openbox --sm-disable) ;;
  xfwm4) command=(xfwm4 --compositor=off --sm-client-disable) ;;
  metacity) command=(metacity --sm-disable --no-composite) ;;
  marco) command=(marco --sm-disable --no-composite) ;;
  kwin_x11) command=(kwin_x11) ;;
  *) die "no such window manager here: $1" ;;
  esac
  "${command[@]}" >"$scratch/wm.log" 2>&1 &
  started
  wm_pid=$!
  wait_for 30 wm_manages
}
# A manager names its check window on the root window once it has taken the screen over.
wm_manages() { kill -0 "$wm_pid" 2>/dev/null && prints 'window id # 0x' xprop -root _NET_SUPPORTING_WM_CHECK; }

start_system_bus() {
  cat >"$scratch/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$scratch/system-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
  dbus-daemon --config-file="$scratch/system-bus.conf" --nofork >"$scratch/system-bus.log" 2>&1 &
  started
  wait_for 10 test -S "$scratch/system-bus" || die "the system bus did not start"
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$scratch/system-bus
}

visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sed -n 1p; }
window_named() { [ -n "$(visible_window "$1")" ]; }
gone() { [ -z "$(visible_window "$1")" ]; }

client_area() {
  local info
  info=$(xwininfo -id "$1")
  X=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
  W=$(sed -n 's/^ *Width: *//p' <<<"$info")
  H=$(sed -n 's/^ *Height: *//p' <<<"$info")
}

click() {
  local s=${scale:-1}
  client_area "$1"
  xdotool mousemove --sync $((X + (2 * $2 + $4) * s / 2)) $((Y + (2 * $3 + $5) * s / 2)) click "${6:-1}"
}

in_private_x11_sockets() {
  [ -n "${QUORVANE_PRIVATE_X11_SOCKETS:-}" ] && return 0
  local dir=/tmp/.X11-unix
  if [ "$(id -u)" != 0 ]; then
    # Without root no mount namespace: the folder must already be as the compositor wants it.
    if [ ! -e "$dir" ] || [ "$(stat -c %a "$dir")" = 1777 ]; then return 0; fi
    skip "$dir is not world-writable (XWayland refuses it) and only root can give the test its own"
  fi
  command -v unshare >/dev/null 2>&1 || skip "unshare is missing"
  QUORVANE_PRIVATE_X11_SOCKETS=1 exec unshare --mount --propagation private \
    bash -c 'mkdir -p /tmp/.X11-unix && mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix && exec bash "$@"' bash "$@"
}
