#!/usr/bin/env bash
# Quorvane benchmarks: how well the countdown keeps time, how fast the program starts and
# what it costs while it sits in the background.
#
#   bench/run.sh [--quick] [--only timekeeping|startup|footprint]
#
# Builds the program and the harnesses into build-bench/ (another folder with
# QUORVANE_BENCH_BUILD=DIR), runs them and prints the results as markdown on standard
# output; progress goes to standard error. The tick errors of each countdown are kept in
# the build folder as ticks-N.txt.
#
#   full run   countdowns of 10 s, 60 s and 600 s and a 60 s one with both cores busy,
#              all in real time, and 60 s footprint windows: about 15 minutes
#   --quick    countdowns of 10 s and 30 s, 30 s with both cores busy, 15 s footprint
#              windows: under 3 minutes once built (the first build adds 1-2 minutes)
#   --only     runs one of the three parts (may be given more than once)
#
# Missing Debian packages (Xvfb, xdotool, ImageMagick's import, perf, the X11 and
# Damage headers, CMake, Ninja) are installed with apt-get, as root or through sudo.
# The programs run with scratch settings folders and the X ones on a private Xvfb
# display: your own saved times are neither read nor changed. Nothing here is a test.
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
    [[ ${2:-} =~ ^(timekeeping|startup|footprint)$ ]] || { echo "--only takes timekeeping, startup or footprint" >&2; exit 2; }
    only+=("$2"); shift 2 ;;
  -h | --help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done

if ((quick)); then
  countdowns=(10 30)
  loaded=30
  window=15
else
  countdowns=(10 60 600)
  loaded=60
  window=60
fi
startup_runs=10
want() { ((${#only[@]} == 0)) || [[ " ${only[*]} " == *" $1 "* ]]; }

say() { echo "bench: $*" >&2; }
fail() {
  echo "bench: $*" >&2
  exit 1
}

# ---- Tools ------------------------------------------------------------------------------
# Progress on stderr: stdout carries only the tables.
bash "$top/tools/install-missing.sh" xvfb xdotool imagemagick linux-perf libx11-dev libxdamage-dev \
  cmake ninja-build >&2
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
spinners=()
cleanup() {
  set +e
  for p in "${spinners[@]}" $program_pid $xvfb_pid; do
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
memory() { # -> "rss_mib pss_mib"
  awk '/^Rss:/ { r = $2 } /^Pss:/ { p = $2 } END { printf "%.1f %.1f", r / 1024, p / 1024 }' \
    "/proc/$program_pid/smaps_rollup"
}
threads() { # one line per thread: tid name voluntary involuntary runtime_ns
  local t
  for t in /proc/"$program_pid"/task/*; do
    printf '%s %s %s %s\n' "${t##*/}" "$(tr ' ' _ <"$t/comm")" \
      "$(awk '/^voluntary_ctxt_switches/ { v = $2 } /^nonvoluntary_ctxt_switches/ { n = $2 } END { print v, n }' "$t/status")" \
      "$(cut -d' ' -f1 "$t/schedstat")"
  done
}
ticks() { awk '{ print $14 + $15 }' "/proc/$program_pid/stat"; } # utime + stime, in clock ticks

# Watches the program for $window seconds; sets the variables the table row is made of.
measure() {
  threads >"$work/t1"
  local tk1 tk2
  tk1=$(ticks)
  if ((use_perf)); then
    perf stat -x, -e context-switches,task-clock -p "$program_pid" -- sleep "$window" 2>"$work/perf" >/dev/null
  else
    sleep "$window"
  fi
  threads >"$work/t2"
  tk2=$(ticks)
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
  local hz
  hz=$(getconf CLK_TCK)
  stat_ms=$(((tk2 - tk1) * 1000 / hz))
  # Per thread: wake-ups (voluntary context switches: the thread slept and was woken),
  # preemptions (involuntary ones) and CPU time; threads that ended or began within the
  # window are named as such.
  read -r proc_vol proc_invol proc_cpu_ns by_thread < <(awk -v w="$window" '
    function nice(n) { return n == "quorvane" ? "main" : n == "Thread_(pooled)" ? "pool" : n }
    FNR == NR { v[$1] = $3; i[$1] = $4; c[$1] = $5; name[$1] = $2; next }
    { dv = $3 - v[$1]; vol += dv; invol += $4 - i[$1]; cpu += $5 - c[$1]
      if (!($1 in v)) born[nice($2)]++
      seen[$1] = 1; per[nice($2)] += dv }
    END {
      for (t in v) if (!(t in seen)) ended[nice(name[t])]++
      out = ""
      for (n in per) if (per[n] > 0) out = out sprintf("%s%s %.0f", out == "" ? "" : ", ", n, per[n] * 60 / w)
      for (n in born) out = out sprintf("%s%d new %s thread(s)", out == "" ? "" : ", ", born[n], n)
      for (n in ended) out = out sprintf("%s%d %s thread(s) ended", out == "" ? "" : ", ", ended[n], n)
      if (out == "") out = "none"
      gsub(/ /, "~", out)
      print vol, invol, cpu, out
    }' "$work/t1" "$work/t2")
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
  read -r rss pss < <(memory)
  printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |' "$1" "$rss" "$pss" "$perf_cpu_per_min" "$cpu_per_min" \
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

  # Tick the three slots and press the start label, as a user would (client coordinates).
  eval "$(xdotool getwindowgeometry --shell "$win")"
  click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1; sleep 0.2; }
  seconds_box() { import -window "$win" -crop 81x57+528+48 +repage ppm:- | md5sum; } # slot 1's seconds
  before=$(seconds_box)
  click 372 22   # Check1 (368,16 9x12)
  click 372 150  # Check2 (368,144)
  click 372 278  # Check3 (368,272)
  click 336 444  # 确定选择并开始计时 (192,424 289x41)
  xdotool mousemove 0 0
  sleep 1.5
  a=$(seconds_box)
  sleep 1.1
  b=$(seconds_box)
  counting="three slots counting"
  if [ "$a" = "$b" ] || [ "$a" = "$before" ]; then
    say "warning: slot 1's seconds box does not change; the slots may not be counting"
    counting="three slots counting (**not confirmed on screen**)"
  fi
  sleep 1
  say "footprint: $window s with three slots counting"
  busy_load=$(load1)
  measure
  footprint_rows+=("$(footprint_row "$counting")")
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  program_pid=
fi

# ---- Report ---------------------------------------------------------------------------------
cat <<EOF
# Quorvane benchmarks ($([ $quick = 1 ] && echo quick || echo full) run)

- Machine: $model, $cores cores, $mem memory; $os, kernel $(uname -r)
- Qt $qt; $compiler; RelWithDebInfo (-O2 -g), the program's default build
- Started $started; load average at start $load_at_start (1, 5, 15 min)
EOF
if want timekeeping; then
  cat <<EOF

## 1. Countdown timekeeping

Real main window (quorvane_core), offscreen platform, slot 1 started with the start action at t0;
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
RSS/PSS from /proc/PID/smaps_rollup at the end of each window.
1-minute load average at the start of each window: $idle_load (no slot), $busy_load (three slots).

| state | RSS (MiB) | PSS (MiB) | CPU ms/min (perf) | CPU ms/min (schedstat) | utime+stime in window (ms) | context switches/min (perf) | wake-ups/min (voluntary) | preemptions/min (involuntary) | wake-ups/min by thread |
|---|---:|---:|---:|---:|---:|---:|---:|---:|---|
$(printf '%s\n' "${footprint_rows[@]}")
EOF
fi
say "done"
