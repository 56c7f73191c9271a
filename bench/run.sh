#!/usr/bin/env bash
# Quorvane benchmarks: how well the countdown keeps time, how fast the program starts and
# what it costs while it sits in the background, alone and beside other break reminders.
#
#   bench/run.sh [--quick] [--only timekeeping|startup|footprint|peers] [--peers]
#
# Builds the program and the harnesses into build-bench/ (another folder with
# QUORVANE_BENCH_BUILD=DIR), runs them and prints the results as markdown on standard
# output; progress goes to standard error. The tick errors of each countdown are kept in
# the build folder as ticks-N.txt, the peers' results of every round as peers.tsv.
#
#   full run   countdowns of 10 s, 60 s and 600 s and a 60 s one with both cores busy,
#              all in real time, and four 60 s footprint windows: about 17 minutes; then the
#              peers: 5 rounds with 60 s windows, about 15 minutes more
#   --quick    countdowns of 10 s and 30 s, 30 s with both cores busy, 15 s footprint
#              windows, 2 rounds of peers with 15 s windows: about 7 minutes once built
#              (the first build adds 1-2 minutes, installing the peers about 1 more)
#   --only     runs one of the four parts (may be given more than once)
#   --peers    the same as --only peers: Quorvane beside Workrave, Safe Eyes and RSIBreak
#
# Missing Debian packages (Xvfb, xdotool, ImageMagick's import, perf, the X11 and
# Damage headers, CMake, Ninja; for the peers D-Bus and the three peers themselves,
# none of which Quorvane needs) are installed with apt-get, as root or through sudo.
# The programs run with scratch settings folders (the peers with scratch home folders)
# and the X ones on a private Xvfb display: your own saved times and settings are
# neither read nor changed. Nothing here is a test.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=${QUORVANE_BENCH_BUILD:-$top/build-bench}
quick=0
only=()
while (($#)); do
  case "$1" in
  --quick) quick=1; shift ;;
  --only)
    [[ ${2:-} =~ ^(timekeeping|startup|footprint|peers)$ ]] ||
      { echo "--only takes timekeeping, startup, footprint or peers" >&2; exit 2; }
    only+=("$2"); shift 2 ;;
  --peers) only+=(peers); shift ;;
  -h | --help) sed -n '2,26p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done

if ((quick)); then
  countdowns=(10 30)
  loaded=30
  window=15
  peer_rounds=2
else
  countdowns=(10 60 600)
  loaded=60
  window=60
  peer_rounds=5
fi
peer_settle=10 # seconds from a peer's start to its memory reading and the start of its window
startup_runs=10
want() { ((${#only[@]} == 0)) || [[ " ${only[*]} " == *" $1 "* ]]; }

say() { echo "bench: $*" >&2; }
fail() {
  echo "bench: $*" >&2
  exit 1
}

# ---- Tools ------------------------------------------------------------------------------
# Progress on stderr: stdout carries only the tables.
# The program's own build needs what tools/setup.sh installs for it.
source "$top/tools/packages.sh"
bash "$top/tools/install-missing.sh" xvfb xdotool imagemagick linux-perf libx11-dev libxdamage-dev ninja-build \
  "${quorvane_packages[@]}" >&2
if want peers; then
  # The peers as a user gets them with apt (Safe Eyes with its recommended tray library and
  # idle probe), and the message bus daemon that each program gets a session bus from.
  bash "$top/tools/install-missing.sh" dbus-daemon x11-utils workrave safeeyes \
    gir1.2-ayatanaappindicator3-0.1 xprintidle rsibreak >&2
fi
use_perf=0
if command -v perf >/dev/null && perf stat -x, -e context-switches -- true >/dev/null 2>&1; then
  use_perf=1
fi

# ---- Build --------------------------------------------------------------------------------
say "building into $build"
if [ ! -f "$build/CMakeCache.txt" ]; then
  mkdir -p "$build"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; fail "configuring failed"; }
  rm -f "$build/configure.log"
fi
cmake --build "$build" >&2 || fail "building failed"
program=$build/quorvane/quorvane
timekeeping=$build/bench_timekeeping
minimal=$build/bench_minimal
mapwatch=$build/bench_mapwatch

# ---- Scratch space, private X server, clean-up -----------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-bench.XXXXXX")
xvfb_pid=
program_pid=
system_bus_pid=
spinners=()
peer_homes=()
cleanup() {
  set +e
  ((${#peer_homes[@]})) && stop_peers
  for p in "${spinners[@]}" $program_pid $system_bus_pid $xvfb_pid; do
    kill "$p" 2>/dev/null
    wait "$p" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")
unset WAYLAND_DISPLAY
# Where the pointer rests between clicks: the bottom right corner, away from every window.
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
park_pointer() { xdotool mousemove $((screen_w - 1)) $((screen_h - 1)); }
park_pointer

# Sleeps in the shell itself (a read that times out on a pipe nobody writes to): no sleep
# process to wake and fork while the programs are being watched.
mkfifo "$work/nap"
nap() { read -rt "$1" <>"$work/nap" || true; }

# Hour-long intervals in every slot: the main window opens without a message and the three
# slots hold something to count down.
mkdir -p "$work/config"
printf '1,0,0,1,0,0,1,0,0\r\n' >"$work/config/Quorvane.txt"
# A runtime folder of its own and no session bus: a Quorvane the user runs must not be
# taken for this one's first instance.
mkdir -m 700 "$work/runtime"
x_env=(env XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
  QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8)

load1() { cut -d' ' -f1 /proc/loadavg; }

# Ticks Check1, Check2 and Check3 of the main window WIN and presses the start label, as a
# user would (client coordinates), then checks on screen that slot 1's seconds box counts.
# Returns 1 if it does not seem to.
start_three_slots() {
  # shellcheck disable=SC2034 # all set by the eval, X and Y used
  local WINDOW X Y WIDTH HEIGHT SCREEN win=$1
  eval "$(xdotool getwindowgeometry --shell "$win")"
  click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1; sleep 0.2; }
  seconds_box() { import -window "$win" -crop 81x57+528+48 +repage ppm:- | md5sum; } # slot 1's seconds
  local before a b
  before=$(seconds_box)
  click 372 22   # Check1 (368,16 9x12)
  click 372 150  # Check2 (368,144)
  click 372 278  # Check3 (368,272)
  click 336 444  # 确定选择并开始计时 (192,424 289x41)
  park_pointer
  sleep 1.5
  a=$(seconds_box)
  sleep 1.1
  b=$(seconds_box)
  [ "$a" != "$b" ] && [ "$a" != "$before" ]
}

# ---- Machine -------------------------------------------------------------------------------
model=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
cores=$(nproc)
mem=$(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
os=$(. /etc/os-release && echo "$PRETTY_NAME")
qt=$("$timekeeping" --qt-version)
compiler=$(c++ --version | head -n 1)
started=$(date '+%Y-%m-%d %H:%M %Z')
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)

# ---- 1. Timekeeping ------------------------------------------------------------------------
if want timekeeping; then
  timekeeping_rows=()
  timekeeping_loads=()
  for n in "${countdowns[@]}"; do
    say "countdown of $n s (real time)"
    timekeeping_loads+=("$n s: $(load1)")
    row=$("$timekeeping" --seconds "$n" --raw "$build/ticks-$n.txt") || fail "the $n s countdown failed"
    timekeeping_rows+=("$row")
  done
  say "countdown of $loaded s with both cores busy"
  for _ in 1 2; do
    sh -c 'while :; do :; done' &
    spinners+=($!)
  done
  sleep 1
  timekeeping_loads+=("$loaded s, cores busy: $(load1)")
  row=$("$timekeeping" --seconds "$loaded" --label "$loaded s, both cores busy") || fail "the loaded countdown failed"
  timekeeping_rows+=("$row")
  for p in "${spinners[@]}"; do
    kill "$p"
    wait "$p" 2>/dev/null || true
  done
  spinners=()
fi

# ---- 2. Start-up ----------------------------------------------------------------------------
if want startup; then
  # The two programs take turns, so that a change in the machine's load touches both alike.
  say "start-up: $startup_runs runs each under Xvfb"
  watch_once() { # program title -> "mapped_ms painted_ms"
    local out
    out=$("${x_env[@]}" "$mapwatch" --runs 1 --warmup 0 --name "$2" --log "$work/startup.log" -- "$1") ||
      fail "start-up run of $1 failed: $(tail -n 5 "$work/startup.log")"
    awk '/^summary/ { print $2, $5 }' <<<"$out"
  }
  watch_once "$program" Form1 >/dev/null # warm-up: file cache, font cache
  watch_once "$minimal" Minimal >/dev/null
  : >"$work/startup-program"
  : >"$work/startup-minimal"
  for _ in $(seq "$startup_runs"); do
    watch_once "$program" Form1 >>"$work/startup-program"
    watch_once "$minimal" Minimal >>"$work/startup-minimal"
  done
  median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  range() { sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.1f–%.1f", lo, hi }'; }
  pm=$(cut -d' ' -f1 "$work/startup-program" | median)
  pp=$(cut -d' ' -f2 "$work/startup-program" | median)
  mm=$(cut -d' ' -f1 "$work/startup-minimal" | median)
  mp=$(cut -d' ' -f2 "$work/startup-minimal" | median)
  startup_rows=(
    "$(printf '| quorvane (real program) | %.1f (%s) | %.1f (%s) | %.2f× | %.2f× |' \
      "$pm" "$(cut -d' ' -f1 "$work/startup-program" | range)" "$pp" "$(cut -d' ' -f2 "$work/startup-program" | range)" \
      "$(awk -v a="$pm" -v b="$mm" 'BEGIN { print a / b }')" "$(awk -v a="$pp" -v b="$mp" 'BEGIN { print a / b }')")"
    "$(printf '| minimal Qt Widgets window (floor) | %.1f (%s) | %.1f (%s) | 1.00× | 1.00× |' \
      "$mm" "$(cut -d' ' -f1 "$work/startup-minimal" | range)" "$mp" "$(cut -d' ' -f2 "$work/startup-minimal" | range)")"
  )
fi

# ---- 3. Footprint --------------------------------------------------------------------------
# pid -> "rss_mib pss_mib uss_mib private_dirty_mib" (USS: the pages no other process maps;
# Private_Dirty: those of them the process wrote, which only it holds and which cannot be
# dropped and read in again from a file: its real cost in memory)
memory() {
  awk '/^Rss:/ { r = $2 } /^Pss:/ { p = $2 } /^Private_(Clean|Dirty):/ { u += $2 } /^Private_Dirty:/ { d = $2 }
    END { printf "%.1f %.1f %.1f %.1f", r / 1024, p / 1024, u / 1024, d / 1024 }' "/proc/$1/smaps_rollup"
}
threads() { # pid -> one line per thread: tid name voluntary involuntary runtime_ns
  local t
  for t in /proc/"$1"/task/*; do
    printf '%s %s %s %s\n' "${t##*/}" "$(tr ' ' _ <"$t/comm")" \
      "$(awk '/^voluntary_ctxt_switches/ { v = $2 } /^nonvoluntary_ctxt_switches/ { n = $2 } END { print v, n }' "$t/status")" \
      "$(cut -d' ' -f1 "$t/schedstat")"
  done
}
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; } # pid -> utime + stime, in clock ticks

# Two threads() listings of process PID taken WINDOW seconds apart -> "voluntary involuntary
# cpu_ns by_thread": wake-ups (voluntary context switches: the thread slept and was woken),
# preemptions (involuntary ones) and CPU time summed over the threads, and the wake-ups per
# minute by thread ("~" for spaces); threads that ended or began within the window are named
# as such (what an ended thread did after the first listing is not counted).
thread_delta() { # first second window pid
  awk -v w="$3" -v pid="$4" '
    function nice(t, n) { return t == pid ? "main" : n == "Thread_(pooled)" ? "pool" : n }
    FNR == NR { v[$1] = $3; i[$1] = $4; c[$1] = $5; name[$1] = $2; next }
    { dv = $3 - v[$1]; vol += dv; invol += $4 - i[$1]; cpu += $5 - c[$1]
      if (!($1 in v)) born[nice($1, $2)]++
      seen[$1] = 1; per[nice($1, $2)] += dv }
    END {
      for (t in v) if (!(t in seen)) ended[nice(t, name[t])]++
      out = ""
      for (n in per) if (per[n] > 0) out = out sprintf("%s%s %.0f", out == "" ? "" : ", ", n, per[n] * 60 / w)
      for (n in born) out = out sprintf("%s%d new %s thread(s)", out == "" ? "" : ", ", born[n], n)
      for (n in ended) out = out sprintf("%s%d %s thread(s) ended", out == "" ? "" : ", ", ended[n], n)
      if (out == "") out = "none"
      gsub(/ /, "~", out)
      print vol + 0, invol + 0, cpu + 0, out
    }' "$1" "$2"
}

# Watches the program for $window seconds; sets the variables the table row is made of.
measure() {
  threads "$program_pid" >"$work/t1"
  local tk1 tk2
  tk1=$(ticks "$program_pid")
  if ((use_perf)); then
    perf stat -x, -e context-switches,task-clock -p "$program_pid" -- sleep "$window" 2>"$work/perf" >/dev/null
  else
    sleep "$window"
  fi
  threads "$program_pid" >"$work/t2"
  tk2=$(ticks "$program_pid")
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
  local hz
  hz=$(getconf CLK_TCK)
  stat_ms=$(((tk2 - tk1) * 1000 / hz))
  read -r proc_vol proc_invol proc_cpu_ns by_thread < <(thread_delta "$work/t1" "$work/t2" "$window" "$program_pid")
  by_thread=${by_thread//\~/ }
  vol_per_min=$(awk -v n="$proc_vol" -v w="$window" 'BEGIN { printf "%.1f", n * 60 / w }')
  invol_per_min=$(awk -v n="$proc_invol" -v w="$window" 'BEGIN { printf "%.1f", n * 60 / w }')
  cpu_per_min=$(awk -v n="$proc_cpu_ns" -v w="$window" 'BEGIN { printf "%.1f", n / 1e6 * 60 / w }')
  if ((use_perf)); then
    perf_wakes=$(awk -F, '$3 == "context-switches" { print $1 }' "$work/perf")
    perf_cpu=$(awk -F, '$3 == "task-clock" { print $1 }' "$work/perf")
    perf_per_min=$(awk -v n="$perf_wakes" -v w="$window" 'BEGIN { printf "%.1f", n * 60 / w }')
    perf_cpu_per_min=$(awk -v n="$perf_cpu" -v w="$window" 'BEGIN { printf "%.1f", n * 60 / w }')
  else
    perf_per_min=n/a
    perf_cpu_per_min=n/a
  fi
}

footprint_row() { # label
  read -r rss pss _ dirty < <(memory "$program_pid")
  printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |' "$1" "$rss" "$pss" "$dirty" "$perf_cpu_per_min" "$cpu_per_min" \
    "$stat_ms" "$perf_per_min" "$vol_per_min" "$invol_per_min" "$by_thread"
}

if want footprint; then
  say "footprint: starting the program under Xvfb"
  "${x_env[@]}" "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1) || true
  [ -n "$win" ] || fail "the main window did not appear: $(cat "$work/program.log")"
  sleep 3

  say "footprint: $window s with no slot running"
  idle_load=$(load1)
  measure
  footprint_rows=("$(footprint_row "no slot running")")

  counting="three slots counting"
  if ! start_three_slots "$win"; then
    say "warning: slot 1's seconds box does not change; the slots may not be counting"
    counting="three slots counting (**not confirmed on screen**)"
  fi
  sleep 1
  say "footprint: $window s with three slots counting"
  busy_load=$(load1)
  measure
  footprint_rows+=("$(footprint_row "$counting")")
  # Minimized: a window manager unmaps the window; without one, do what it would do.
  xdotool windowunmap "$win"
  sleep 1
  say "footprint: $window s with three slots counting, the main window minimized"
  hidden_load=$(load1)
  measure
  footprint_rows+=("$(footprint_row "$counting, main window minimized (unmapped)")")
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null || true

  say "footprint: $window s of the minimal window with three boxes changing each second"
  "${x_env[@]}" "$minimal" --counting >"$work/minimal.log" 2>&1 &
  program_pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Minimal$' | head -n 1) || true
  [ -n "$win" ] || fail "the minimal window did not appear: $(cat "$work/minimal.log")"
  sleep 3
  floor_load=$(load1)
  measure
  footprint_rows+=("$(footprint_row "floor: minimal Qt window, its three seconds boxes changing each second")")
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  program_pid=
fi

# ---- 4. Peers --------------------------------------------------------------------------------
# Quorvane beside three break reminders from Debian's archive. Every program gets a fresh
# home folder (the XDG folders in their usual places inside it, the runtime folder too), its
# own session bus, the same Xvfb display and no window manager; a stand-in system bus is
# shared by all of them. mapwatch starts each program and leaves it running. Each round has
# two parts, the programs taking turns in an order that rotates from round to round:
#   alone     each program by itself: start-up time, then its memory 10 s after the start;
#             then it is ended (no other program maps the same libraries meanwhile, which
#             would move its PSS and USS)
#   together  all of them started again, one after another, each once the one before has
#             gone quiet; 10 s after the last start all are watched at the same time for
#             $window s (CPU time, wake-ups): nothing starts and no input arrives meanwhile
peer_names=(bare minimal quorvane quorvane3 workrave safeeyes rsibreak)
declare -A keeper_of=() bus_of=()

peer_command() { # name -> cmd
  case $1 in
  bare) cmd=("$minimal" --bare) ;;
  minimal) cmd=("$minimal") ;;
  quorvane | quorvane3) cmd=("$program") ;;
  *) cmd=("$1") ;;
  esac
}

alive() { # pid: running, not a zombie
  local s
  s=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  s=${s##*) }
  [ "${s%% *}" != Z ]
}

# CPU time of the process's children that have ended and been waited for, in clock ticks
# (a program that has a helper command do part of its work, as Safe Eyes does with xprintidle).
child_ticks() { sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{ print $14 + $15 }'; }

cpu_ns() { { cat /proc/"$1"/task/*/schedstat 2>/dev/null || true; } | awk '{ s += $1 } END { print s + 0 }'; }

nap_until() { # a time in $EPOCHREALTIME's terms
  local left
  left=$(awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { d = a - b; printf "%.3f", (d > 0 ? d : 0) }')
  [ "$left" = 0.000 ] || nap "$left"
}
plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", a + b }'; }

# Returns once process PID has used under 10 ms of CPU in half a second (after at least
# 1 s, at most 9 s), so that the next program starts on a machine this one no longer loads.
settle() {
  local a b i
  nap 1
  a=$(cpu_ns "$1")
  for i in $(seq 16); do
    nap 0.5
    b=$(cpu_ns "$1")
    ((b - a < 10000000)) && break
    a=$b
  done
}

# Processes whose HOME matches the given regular expression, one pid a line.
processes_at_home() { grep -lzsx "HOME=$1" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3 || true; }

# The processes that came with a program: everything running with its home folder except the
# program itself, its session bus and the mapwatch that holds it (services its session bus
# started for it, such as the accessibility bus or dconf, and its own children).
# -> "pid name rss_kib private_dirty_kib" lines
helper_list() { # home pid bus keeper
  local p
  for p in $(processes_at_home "$1"); do
    [ "$p" = "$2" ] || [ "$p" = "$3" ] || [ "$p" = "$4" ] && continue
    printf '%s %s %s\n' "$p" "$(tr ' ' _ <"/proc/$p/comm" 2>/dev/null || echo gone)" \
      "$(awk '/^Rss:/ { r = $2 } /^Private_Dirty:/ { d = $2 } END { print r + 0, d + 0 }' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0 0)"
  done
}

# PSS and USS count a library's pages as shared once any other process maps them too, so
# they depend on what else runs on the machine: the toolkit library the program maps and
# how many processes outside this benchmark map it too. -> "libQt6Core 3" (or "none")
toolkit_sharers() { # pid
  local lib n p
  lib=$(grep -oE 'lib(Qt6Core|Qt5Core|gtk-3)\.so' "/proc/$1/maps" 2>/dev/null | head -n 1 || true)
  [ -n "$lib" ] || { echo none; return; }
  n=0
  for p in $(grep -lsF "/$lib" /proc/[0-9]*/maps 2>/dev/null | cut -d/ -f3 || true); do
    grep -qzsx "HOME=$work/peers/.*" "/proc/$p/environ" 2>/dev/null || n=$((n + 1))
  done
  echo "${lib%.so} $n"
}

visible_windows() { # pid -> '"title" WxH; ...'
  local w out='' name geometry
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null || true); do
    name=$(xdotool getwindowname "$w" 2>/dev/null || true)
    geometry=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/^ *Geometry: //p')
    out+="${out:+; }\"$name\" $geometry"
  done
  echo "${out:-none}"
}

# Starts program NAME in the fresh home HOME with its own session bus and brings it into its
# normal state as a user would. Sets peer_pid, peer_mapped, peer_painted, peer_created,
# peer_t_launch, peer_load, peer_note; on failure returns 1 with the reason in peer_why.
launch_peer() { # name home
  local name=$1 home=$2 cmd addr line i win
  peer_note="as started"
  peer_command "$name"
  mkdir -p "$home"/{.config,.cache,.local/share,.local/state,.run}
  chmod 700 "$home/.run"
  case $name in quorvane*) printf '1,0,0,1,0,0,1,0,0\r\n' >"$home/.config/Quorvane.txt" ;; esac
  local penv=(env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" USER="$(id -un)" LOGNAME="$(id -un)"
    XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share"
    XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$home/.run" XDG_SESSION_TYPE=x11
    DISPLAY="$DISPLAY" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus_socket")
  peer_homes+=("$home")
  "${penv[@]}" dbus-daemon --session --nofork --print-address=3 3>"$home/.bus-address" >"$home/.bus.log" 2>&1 &
  bus_of[$home]=$!
  for i in $(seq 100); do
    [ -s "$home/.bus-address" ] && break
    nap 0.05
  done
  [ -s "$home/.bus-address" ] || fail "no session bus for $name: $(cat "$home/.bus.log")"
  addr=$(head -n 1 "$home/.bus-address")
  # An accessibility bus announces itself on the display's root window, where the next
  # program would find it and use it instead of starting its own: each starts with none.
  xprop -root -remove AT_SPI_BUS 2>/dev/null
  mkfifo "$home/.watch"
  peer_load=$(load1)
  peer_t_launch=$EPOCHREALTIME
  "${penv[@]}" DBUS_SESSION_BUS_ADDRESS="$addr" "$mapwatch" --keep --pid --unmapped-ok 10 --timeout 30 \
    --log "$home/.log" -- "${cmd[@]}" >"$home/.watch" &
  keeper_of[$home]=$!
  read -r line <"$home/.watch" || true
  if [[ $line != kept\ * ]]; then
    peer_why="${line#failed }; $(tail -n 3 "$home/.log" 2>/dev/null | tr '\n\t' '  ')"
    say "$name could not be started: $peer_why"
    return 1
  fi
  read -r _ peer_pid peer_mapped peer_painted peer_created <<<"$line"
  case $name in
  quorvane3)
    win=$(xdotool search --all --onlyvisible --pid "$peer_pid" --name '^Form1$' 2>/dev/null | head -n 1 || true)
    if [ -n "$win" ] && start_three_slots "$win"; then
      peer_note="three slots started with the mouse, seen counting on screen"
    else
      peer_note="three slots **not confirmed counting**"
      say "warning: Quorvane's slot 1 does not seem to count"
    fi
    ;;
  rsibreak)
    win=$(xdotool search --all --onlyvisible --pid "$peer_pid" --name '^Welcome$' 2>/dev/null | head -n 1 || true)
    if [ -n "$win" ]; then
      xdotool windowfocus --sync "$win" key Return
      for i in $(seq 50); do
        xdotool search --all --onlyvisible --pid "$peer_pid" --name '^Welcome$' >/dev/null 2>&1 || break
        nap 0.1
      done
      if xdotool search --all --onlyvisible --pid "$peer_pid" --name '^Welcome$' >/dev/null 2>&1; then
        peer_note="welcome dialog **still open** after Return"
      else
        peer_note="welcome dialog closed with Return (its default button, OK)"
      fi
    else
      peer_note="no welcome dialog appeared"
    fi
    ;;
  esac
  return 0
}

# Ends every program started by launch_peer, then whatever else runs with one of their home
# folders (helpers, the session buses), and removes the folders.
stop_peers() {
  local home left i sig
  for home in "${peer_homes[@]}"; do
    [ -z "${keeper_of[$home]:-}" ] || kill "${keeper_of[$home]}" 2>/dev/null || true
  done
  for home in "${peer_homes[@]}"; do
    [ -z "${keeper_of[$home]:-}" ] || wait "${keeper_of[$home]}" 2>/dev/null || true
  done
  for i in $(seq 30); do
    left=$(processes_at_home "$work/peers/.*")
    [ -z "$left" ] && break
    sig=TERM
    ((i < 20)) || sig=KILL
    # shellcheck disable=SC2086
    kill -s "$sig" $left 2>/dev/null || true
    nap 0.2
  done
  for home in "${peer_homes[@]}"; do
    [ -z "${bus_of[$home]:-}" ] || wait "${bus_of[$home]}" 2>/dev/null || true
    rm -rf "$home"
  done
  peer_homes=()
  keeper_of=()
  bus_of=()
  return 0
}

# Part one of a round for one program: writes OUT.alone, tab-separated: status mapped painted
# created load note rss pss uss helper_rss helpers windows sharers private_dirty helper_dirty.
run_alone() { # name round
  local name=$1 out=$work/peers/results/$1-$2 home=$work/peers/$1-$2-alone
  local rss pss uss dirty helper_rss helper_dirty helpers windows sharers
  if ! launch_peer "$name" "$home"; then
    printf 'could not run headless: %s\t-\t-\t-\t%s\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\n' "$peer_why" "$peer_load" >"$out.alone"
    stop_peers
    return 0
  fi
  nap_until "$(plus "$peer_t_launch" "$peer_settle")"
  if alive "$peer_pid"; then
    read -r rss pss uss dirty < <(memory "$peer_pid") || true
    helper_list "$home" "$peer_pid" "${bus_of[$home]}" "${keeper_of[$home]}" >"$out.helpers"
    helper_rss=$(awk '{ s += $3 } END { printf "%.1f", s / 1024 }' "$out.helpers")
    helper_dirty=$(awk '{ s += $4 } END { printf "%.1f", s / 1024 }' "$out.helpers")
    helpers=$(awk '{ print $2 }' "$out.helpers" | sort | uniq -c |
      awk '{ printf "%s%s%s", (NR > 1 ? ", " : ""), $2, ($1 > 1 ? " ×" $1 : "") } END { if (NR == 0) printf "none" }')
    windows=$(visible_windows "$peer_pid")
    sharers=$(toolkit_sharers "$peer_pid")
    printf 'ok\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$peer_mapped" "$peer_painted" "$peer_created" \
      "$peer_load" "$peer_note" "$rss" "$pss" "$uss" "$helper_rss" "$helpers" "$windows" "$sharers" "$dirty" \
      "$helper_dirty" >"$out.alone"
  else
    printf 'ended within %s s of its start\t%s\t%s\t%s\t%s\t%s\t-\t-\t-\t-\t-\t-\t-\t-\t-\n' "$peer_settle" "$peer_mapped" \
      "$peer_painted" "$peer_created" "$peer_load" "$peer_note" >"$out.alone"
  fi
  stop_peers
}

# Part two: starts every program again, then watches all of them at once for $window s.
# Writes one tab-separated line per program to OUT.tsv: name round status mapped painted
# created rss pss uss helper_rss cpu/min wake-ups/min preemptions/min load helpers windows
# by_thread note sharers children's_cpu/min private_dirty helpers'_private_dirty.
run_together() { # round programs...
  local round=$1 name out pid last=0 w v i c by_thread cpu vol invol status child_cpu hz
  hz=$(getconf CLK_TCK)
  local a_status mapped painted created load note rss pss uss helper_rss helpers windows sharers dirty helper_dirty
  shift
  declare -A pid_of=() why_of=() t1_of=() children_of=()
  for name in "$@"; do
    if launch_peer "$name" "$work/peers/$name-$round-together"; then
      pid_of[$name]=$peer_pid
      last=$peer_t_launch
      settle "$peer_pid"
    else
      why_of[$name]=$peer_why
    fi
  done
  nap_until "$(plus "$last" "$peer_settle")"
  say "peers: round $round: watching all of them for $window s"
  for name in "${!pid_of[@]}"; do
    t1_of[$name]=$EPOCHREALTIME
    children_of[$name]=$(child_ticks "${pid_of[$name]}")
    threads "${pid_of[$name]}" >"$work/peers/results/$name-$round.t1" 2>/dev/null || true
  done
  nap "$window"
  for name in "$@"; do
    out=$work/peers/results/$name-$round
    cpu=- vol=- invol=- by_thread=- child_cpu=-
    if [ -n "${why_of[$name]:-}" ]; then
      status="could not run beside the others: ${why_of[$name]}"
    elif ! alive "${pid_of[$name]}"; then
      status="ended before the end of its window"
    else
      status=ok
      pid=${pid_of[$name]}
      threads "$pid" >"$out.t2" 2>/dev/null || true
      w=$(awk -v a="${t1_of[$name]}" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')
      child_cpu=$(awk -v a="${children_of[$name]}" -v b="$(child_ticks "$pid")" -v hz="$hz" -v w="$w" \
        'BEGIN { printf "%.2f", (b - a) * 1000 / hz * 60 / w }')
      read -r v i c by_thread < <(thread_delta "$out.t1" "$out.t2" "$w" "$pid") || true
      by_thread=${by_thread//\~/ }
      cpu=$(awk -v n="$c" -v w="$w" 'BEGIN { printf "%.2f", n / 1e6 * 60 / w }')
      vol=$(awk -v n="$v" -v w="$w" 'BEGIN { printf "%.2f", n * 60 / w }')
      invol=$(awk -v n="$i" -v w="$w" 'BEGIN { printf "%.2f", n * 60 / w }')
    fi
    IFS=$'\t' read -r a_status mapped painted created load note rss pss uss helper_rss helpers windows sharers \
      dirty helper_dirty <"$out.alone" || true
    [ "$a_status" = ok ] || status=$a_status
    printf '%s\t' "$name" "$round" "$status" "$mapped" "$painted" "$created" "$rss" "$pss" "$uss" "$helper_rss" \
      "$cpu" "$vol" "$invol" "$load" "$helpers" "$windows" "$by_thread" "$note" "$sharers" >"$out.tsv"
    printf '%s\t%s\t%s\n' "$child_cpu" "${dirty:--}" "${helper_dirty:--}" >>"$out.tsv"
  done
  stop_peers
}

if want peers; then
  mkdir -p "$work/peers/results"
  # Stands in for the machine's system bus, the same on every machine (Safe Eyes does not
  # start without one); shared by all programs, as a system bus is, and empty: no services
  # behind it, so whatever a program asks of logind gets "no such service" at once.
  cat >"$work/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
  dbus-daemon --config-file="$work/system-bus.conf" --nofork >"$work/system-bus.log" 2>&1 &
  system_bus_pid=$!
  for _ in $(seq 100); do
    [ -S "$work/system_bus_socket" ] && break
    nap 0.05
  done
  [ -S "$work/system_bus_socket" ] || fail "the stand-in system bus did not start: $(cat "$work/system-bus.log")"

  peer_started=$EPOCHREALTIME
  say "peers: one warm-up start of each program"
  for name in "${peer_names[@]}"; do
    launch_peer "$name" "$work/peers/$name-warm-up" || true
    stop_peers
  done
  peer_loads=()
  for round in $(seq "$peer_rounds"); do
    order=()
    for i in "${!peer_names[@]}"; do
      order+=("${peer_names[(i + round - 1) % ${#peer_names[@]}]}")
    done
    say "peers: round $round of $peer_rounds: ${order[*]}"
    peer_loads+=("$(load1)")
    for name in "${order[@]}"; do
      run_alone "$name" "$round"
    done
    run_together "$round" "${order[@]}"
  done
  xprop -root -remove AT_SPI_BUS 2>/dev/null
  kill "$system_bus_pid"
  wait "$system_bus_pid" 2>/dev/null || true
  system_bus_pid=
  peer_minutes=$(awk -v a="$peer_started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", (b - a) / 60 }')
  # The raw results, one line per program and round, for a closer look.
  cat "$work"/peers/results/*.tsv >"$build/peers.tsv" 2>/dev/null || true
fi

# ---- Report ---------------------------------------------------------------------------------
if want peers; then
  upstream() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null | sed 's/^[0-9]*://; s/-[^-]*$//'; }
  debian_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null; }
  peer_labels="bare	bare Qt 6 Widgets window (floor)
minimal	Qt window with the main window's controls
quorvane	Quorvane, nothing counting
quorvane3	Quorvane, three slots counting
workrave	Workrave $(upstream workrave)
safeeyes	Safe Eyes $(upstream safeeyes)
rsibreak	RSIBreak $(upstream rsibreak)"
  # Medians (min–max) over the rounds a program ran through, and ratios of medians to the
  # bare window's. Fields of a result line: see observe().
  printf '%s\n' "$peer_labels" >"$work/peers/names.tsv"
  peer_results=()
  for f in "$work"/peers/results/*.tsv; do
    [ -e "$f" ] && peer_results+=("$f")
  done
  peer_tables=$(awk -F'\t' -v rounds="$peer_rounds" '
    function sort_median(a, n,   i, j, t) {
      for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function f(v, kind) { return kind == "mib" ? sprintf("%.1f", v) : v < 10 ? sprintf("%.1f", v) : sprintf("%.0f", v) }
    # median (min–max) of column c over the good rounds of program p; remembers the median
    function cell(p, c, kind,   i, n, v, a, m) {
      n = 0
      for (i = 1; i <= rows[p]; i++) {
        v = val[p, i, c]
        if (val[p, i, 3] == "ok" && v != "-" && v != "" && v + 0 >= 0) a[++n] = v + 0
      }
      count[p, c] = n
      if (n == 0) return "—"
      m = sort_median(a, n)
      med[p, c] = m
      return f(m, kind) " (" f(a[1], kind) "–" f(a[n], kind) ")"
    }
    function ratio(p, c) {
      if (!((p, c) in med) || !(("bare", c) in med)) return "—"
      if (med["bare", c] == 0) return med[p, c] == 0 ? "0 (floor 0)" : "— (floor 0)"
      return sprintf("%.2f×", med[p, c] / med["bare", c])
    }
    FNR == NR { order[++names] = $1; label[$1] = $2; next }
    { p = $1; rows[p]++; for (c = 1; c <= NF; c++) val[p, rows[p], c] = $c; if ($3 == "ok") good[p]++ }
    END {
      print "| program | rounds run | first window mapped (ms) | first window created (ms) | RSS (MiB) | PSS (MiB) | USS (MiB) | Private_Dirty (MiB) | helper processes'"'"' Private_Dirty (MiB) | helper processes'"'"' RSS (MiB) | CPU ms/min | its ended child processes'"'"' CPU ms/min | wake-ups/min |"
      print "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
      for (k = 1; k <= names; k++) {
        p = order[k]
        if (!good[p]) {
          why = rows[p] ? val[p, rows[p], 3] : "no result"
          printf "| %s | 0 of %d | %s | — | — | — | — | — | — | — | — | — | — |\n", label[p], rounds, why
          continue
        }
        start = cell(p, 4, "ms")
        if (count[p, 4] == 0)
          start = "none mapped"
        else if (count[p, 4] < good[p])
          start = start sprintf(", mapped in %d of %d rounds", count[p, 4], good[p])
        printf "| %s | %d of %d | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", label[p], good[p], rounds, start,
          cell(p, 6, "ms"), cell(p, 7, "mib"), cell(p, 8, "mib"), cell(p, 9, "mib"), cell(p, 21, "mib"), cell(p, 22, "mib"), cell(p, 10, "mib"),
          cell(p, 11, "n"), cell(p, 20, "n"), cell(p, 12, "n")
      }
      print ""
      print "Each as a ratio of its median to the bare window'"'"'s median:"
      print ""
      print "| program | first window mapped | first window created | RSS | PSS | USS | Private_Dirty | helper processes'"'"' RSS | CPU | wake-ups |"
      print "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
      for (k = 1; k <= names; k++) {
        p = order[k]
        if (!good[p]) continue
        printf "| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", label[p], ratio(p, 4), ratio(p, 6), ratio(p, 7),
          ratio(p, 8), ratio(p, 9), ratio(p, 21), ratio(p, 10), ratio(p, 11), ratio(p, 12)
      }
      print ""
      print "| program | state during its window | windows on screen at 10 s | helper processes at 10 s | other processes mapping its toolkit at 10 s, by round | preemptions/min | wake-ups/min by thread (last round) |"
      print "|---|---|---|---|---|---:|---|"
      for (k = 1; k <= names; k++) {
        p = order[k]
        notes = ""; delete seen_note
        for (i = 1; i <= rows[p]; i++) {
          n = val[p, i, 18]
          if (val[p, i, 3] != "ok") n = "round " val[p, i, 2] ": " val[p, i, 3]
          if (!(n in seen_note)) { seen_note[n] = 1; notes = notes (notes == "" ? "" : "; ") n }
        }
        last = 0; sharing = ""; delete seen_lib
        for (i = 1; i <= rows[p]; i++) {
          if (val[p, i, 3] != "ok") continue
          last = i
          split(val[p, i, 19], lib, " ")
          if (lib[1] == "none" || lib[1] == "-") continue
          if (!(lib[1] in seen_lib)) { seen_lib[lib[1]] = 1; sharing = sharing (sharing == "" ? "" : "; ") lib[1] ": " lib[2]; continue }
          sharing = sharing ", " lib[2]
        }
        printf "| %s | %s | %s | %s | %s | %s | %s |\n", label[p], notes, last ? val[p, last, 16] : "—",
          last ? val[p, last, 15] : "—", sharing == "" ? "—" : sharing, cell(p, 13, "n"), last ? val[p, last, 17] : "—"
      }
    }' "$work/peers/names.tsv" "${peer_results[@]}")
fi
cat <<EOF
# Quorvane benchmarks ($([ $quick = 1 ] && echo quick || echo full) run)

- Machine: $model, $cores cores, $mem memory; $os, kernel $(uname -r)
- Qt $qt; $compiler; RelWithDebInfo (-O2 -g), the program's default build
- Started $started; load average at start $load_at_start (1, 5, 15 min)
EOF
if want timekeeping; then
  cat <<EOF

## 1. Countdown timekeeping

Real main window (quorvane_app), offscreen platform, slot 1 started with the start action at t0;
tick k is due at t0 + k s, the reminder window at t0 + (N+1) s. Targets: |error| < 20 ms.

$("$timekeeping" --header)
$(printf '%s\n' "${timekeeping_rows[@]}")

1-minute load average before each run: $(printf '%s; ' "${timekeeping_loads[@]}" | sed 's/; $//').
EOF
fi
if want startup; then
  cat <<EOF

## 2. Start-up under Xvfb (no window manager)

From fork+exec to the main window being mapped (MapNotify) and to its first drawing (first
Damage event inside it), median of $startup_runs runs each (min–max), the two programs taking turns
after one warm-up run each.

| program | mapped (ms) | first frame drawn (ms) | mapped vs floor | drawn vs floor |
|---|---:|---:|---:|---:|
$(printf '%s\n' "${startup_rows[@]}")
EOF
fi
if want footprint; then
  cat <<EOF

## 3. Footprint of the real program under Xvfb

Windows of $window s, all threads of the process. Context switches: all of them from
\`perf stat -e context-switches -p PID\`, and split from /proc/PID/task/*/status into voluntary
ones (the thread slept and was woken: the wake-ups) and involuntary ones (preempted while
running: these grow with the machine's load, not with the program). CPU time from perf's
task-clock, from /proc/PID/task/*/schedstat, and utime+stime from /proc/PID/stat (10 ms ticks).
RSS, PSS and Private_Dirty (the pages only this process holds and has written: what it
really costs in memory) from /proc/PID/smaps_rollup at the end of each window.
The last row is the floor for a counting second: the minimal window of section 2 with a
1 s timer that puts a new number into its three seconds boxes, the least a plain Qt Widgets
program does to show three running countdowns.
1-minute load average at the start of each window: $idle_load (no slot), $busy_load (three slots),
$hidden_load (three slots, minimized), $floor_load (floor).

| state | RSS (MiB) | PSS (MiB) | Private_Dirty (MiB) | CPU ms/min (perf) | CPU ms/min (schedstat) | utime+stime in window (ms) | context switches/min (perf) | wake-ups/min (voluntary) | preemptions/min (involuntary) | wake-ups/min by thread |
|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|
$(printf '%s\n' "${footprint_rows[@]}")
EOF
fi
if want peers; then
  cat <<EOF

## 4. Beside other break reminders under Xvfb (no window manager)

$peer_rounds rounds after one warm-up start of each program, the programs taking turns in an order
that rotates each round; the section took $peer_minutes min. Every program starts with a fresh home
folder and its own session bus, no window manager, no tray. Each round, first each program
alone: first window mapped (MapNotify) and first window created (CreateNotify), both for the
program's own windows (\`_NET_WM_PID\`) and from fork+exec; RSS, PSS, USS (private pages)
and Private_Dirty (the private pages it wrote) of its process $peer_settle s after the start
(/proc/PID/smaps_rollup); helper processes: everything
else then running with its home folder (sums of their Private_Dirty and of their RSS). Then all of them started again and,
$peer_settle s after the last start, watched together for $window s: CPU time (schedstat) and wake-ups
(voluntary context switches) summed over all threads of each program's process
(/proc/PID/task/*), and the CPU time of its child processes that ended meanwhile (cutime +
cstime, /proc/PID/stat). Medians (min–max) over the rounds.
1-minute load average at the start of each round: $(printf '%s; ' "${peer_loads[@]}" | sed 's/; $//').
Debian packages: workrave $(debian_version workrave), safeeyes $(debian_version safeeyes), rsibreak $(debian_version rsibreak).

$peer_tables
EOF
fi
say "done"
