#!/usr/bin/env bash
# Takes screenshots of the real program's windows under a private X server (Xvfb, no
# window manager) and drives it with xdotool:
#
#   docs/main-window.png      the main window, as it opens
#   docs/menu.png             the main window with its menu open (a right click on it)
#   docs/reminder-window.png  the toilet reminder, three seconds after starting it
#   docs/tips-window.png      the health tips ("医学科普")
#
# usage: tools/screenshots.sh [--program PATH] [--out DIR] [--scale N] [--main-only]
#
#   --program   the program to run (default: $QUORVANE_BUILD_DIR/quorvane or build/quorvane)
#   --out       where the pictures go (default: docs/ in the repository)
#   --scale     QT_SCALE_FACTOR for the program; the screen grows by the same factor
#   --main-only capture the main window only, then quit (also prints its size)
#
# Installs xvfb, xdotool and imagemagick with apt-get if they are missing (as root or
# with sudo). The program gets a scratch configuration folder, so your own saved times
# are neither read nor changed.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=${QUORVANE_BUILD_DIR:-$top/build}/quorvane
out=$top/docs
scale=1
main_only=0
while (($#)); do
  case "$1" in
  --program) program=$2; shift 2 ;;
  --out) out=$2; shift 2 ;;
  --scale) scale=$2; shift 2 ;;
  --main-only) main_only=1; shift ;;
  -h | --help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done
[[ $scale =~ ^[1-9][0-9]*$ ]] || { echo "--scale takes a whole number" >&2; exit 2; }
[ -x "$program" ] || { echo "no program at $program; build it first (cmake --build build)" >&2; exit 1; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")

bash "$top/tools/install-missing.sh" xvfb xdotool imagemagick

# The X server, the program and the pictures' drafts live here; the pictures themselves
# go to --out.
. "$top/tests/desktop-lib.sh"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-shots.XXXXXX")
at_exit rm -rf "$scratch"

# The last lines of the program's output: a program that loops on an error can write
# megabytes, and the cause is at the end.
fail() {
  echo "screenshots: $*" >&2
  if [ -s "$scratch/program.log" ]; then
    echo "--- last lines of the program's output:" >&2
    tail -n 20 "$scratch/program.log" >&2
  fi
  exit 1
}

# ---- A private X server on a free display --------------------------------------------
screen_w=$((1280 * scale))
screen_h=$((800 * scale))
start_xvfb -screen 0 "${screen_w}x${screen_h}x24" -noreset
unset WAYLAND_DISPLAY
echo "Xvfb on $DISPLAY (${screen_w}x$screen_h)"

# ---- The program, with its own settings file ----------------------------------------
# Water every 30 minutes, eyes every hour, toilet every 3 seconds.
# No session bus and a runtime folder of its own: a Quorvane you are running is another
# instance, which this one would only bring forward.
mkdir -p "$scratch/config"
mkdir -m 700 "$scratch/runtime"
printf '0,30,0,1,0,0,0,0,3\r\n' >"$scratch/config/Quorvane.txt"
env XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime" DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-bus" \
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
  QT_ENABLE_HIGHDPI_SCALING=1 LC_ALL=C.UTF-8 "$program" >"$scratch/program.log" 2>&1 &
started
program_pid=$!

# The visible window titled exactly $1, waited for up to $2 seconds.
wait_window() {
  wait_for "$2" window_named "$1" || fail "window $1 did not appear within $2 s"
  visible_window "$1"
}

# Saves window $1 as $2 once it has been painted: two captures in a row agree. $3, if
# given, crops it (WxH+X+Y).
capture() {
  local win=$1 file=$2 i
  local crop=(${3:+-crop "$3" +repage})
  sleep 0.5
  import -window "$win" "${crop[@]}" "$scratch/a.png"
  for ((i = 0; i < 20; i++)); do
    sleep 0.25
    import -window "$win" "${crop[@]}" "$scratch/b.png"
    if [ "$(compare -metric AE "$scratch/a.png" "$scratch/b.png" null: 2>&1 || true)" = 0 ]; then
      break
    fi
    mv "$scratch/b.png" "$scratch/a.png"
  done
  mkdir -p "$(dirname "$file")"
  # Strip dates and other chunks that would change the file on every run.
  convert "$scratch/b.png" -strip "$file"
  echo "saved $file ($(identify -format '%wx%h' "$file"))"
}

main=$(wait_window Form1 20)
kill -0 "$program_pid" 2>/dev/null || fail "the program exited"
client_area "$main"
echo "main window: ${W}x$H device pixels at scale $scale"
if command -v xprop >/dev/null; then
  echo "main window class: $(xprop -id "$main" WM_CLASS | sed 's/^[^=]*= //')"
fi
capture "$main" "$out/main-window.png"
if ((main_only)); then
  exit 0
fi

# The menu, opened by a right click on the label 远眺; it is a window of its own, so the
# picture is taken from the screen where the main window stands.
click "$main" 232 136 193 49 3
client_area "$main"
capture root "$out/menu.png" "${W}x${H}+${X}+${Y}"
xdotool key Escape

# Tick the toilet reminder (its seconds box holds 3) and start the countdowns.
click "$main" 368 272 9 12      # Check3
click "$main" 192 424 289 41    # 确定选择并开始计时
reminder=$(wait_window Form4 15)
capture "$reminder" "$out/reminder-window.png"
click "$reminder" 232 200 121 49 # 我已知晓
wait_for 5 gone Form4 || fail "the reminder did not close"

click "$main" 680 272 153 49    # 医学科普
tips=$(wait_window Form5 10)
capture "$tips" "$out/tips-window.png"
click "$tips" 480 256 129 41    # 返回
wait_for 5 gone Form5 || fail "the tips window did not close"
kill -0 "$program_pid" 2>/dev/null || fail "the program exited"
echo "done"
