#!/usr/bin/env bash
# The Windows installer as a user meets it, in a fresh Wine prefix on a private X server
# with a window manager: a silent install into Program Files with its Start menu entry
# and its entry in the list of programs; the installed program started from there (its
# own DLLs only), its first-start message, a save writing %APPDATA%\Quorvane.txt with
# CR LF, a 1-second water reminder opening Form2 and going at a click on 我已知晓; a start
# after the program was ended by force, which brings the main window; a silent uninstall
# that removes the program and keeps the saved times.
#
#   bash packaging/windows/test-installer.sh SETUP_EXE STAGE_DIR SCRATCH_DIR
#
# STAGE_DIR: the program's folder as `cmake --install` laid it out for the installer;
# every file in it must be installed.
#
# Needs wine, Xvfb, openbox, xdotool and xwininfo (tools/windows.sh installs them).
set -euo pipefail

setup=$(realpath "$1")
stage=$(realpath "$2")
scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
. "$(dirname "${BASH_SOURCE[0]}")/../../tests/desktop-lib.sh"

export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
unset WINEPATH WINEQT_QPA_PLATFORM WINEQT_FORCE_STDERR_LOGGING

# The program runs under Wine's server, which outlives it: both go once the X server
# and the window manager have.
program_pid=
stop_wine() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
at_exit stop_wine
start_xvfb -screen 0 1280x800x24
start_wm openbox || die "the window manager did not start"

wineboot --init >"$scratch/wineboot.log" 2>&1
wineserver -w
c=$WINEPREFIX/drive_c
folder="$c/Program Files/Quorvane"
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
appdata=$(winepath -u "$appdata" 2>/dev/null)
times=$appdata/Quorvane.txt
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane'

# ---- Silent install ------------------------------------------------------------------
wine "$setup" /S >"$scratch/setup.log" 2>&1 || die "the installer failed ($(cat "$scratch/setup.log"))"
wineserver -w
missing=
[ -f "$stage/quorvane.exe" ] || die "$stage holds no quorvane.exe"
for f in uninstall.exe $(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); do
  [ -f "$folder/$f" ] || missing+=" $f"
done
if [ -z "$missing" ]; then
  result "install" 1 "the program and what it loads are in Program Files\\Quorvane"
else
  result "install" 0 "missing in Program Files\\Quorvane:$missing"
fi
link=$(find "$c" -iname 'Quorvane.lnk' -path '*Start Menu*' | sed -n 1p)
result "start menu" "$([ -n "$link" ] && echo 1 || echo 0)" "entry: ${link#"$c"/}"
shown=$(wine reg query "$uninstall_key" /v DisplayName 2>/dev/null | tr -d '\r' | grep -c 'REG_SZ *Quorvane$' || true)
quiet=$(wine reg query "$uninstall_key" /v QuietUninstallString 2>/dev/null | tr -d '\r' | grep -c 'uninstall.exe" /S' || true)
result "list of programs" "$([ "$shown" = 1 ] && [ "$quiet" = 1 ] && echo 1 || echo 0)" \
  "DisplayName and QuietUninstallString under $uninstall_key"

# ---- The installed program, as a user starts it -------------------------------------
# Clicks the centre of a control given in logical pixels inside the client area of the
# window titled $1, looked up at the click (Wine may have put a new X window under it).
click_in() {
  local window
  window=$(visible_window "$1")
  [ -n "$window" ] || die "no window titled $1 to click in"
  xwininfo -id "$window" >/dev/null 2>&1 || die "the window titled $1 went before the click"
  click "$window" "${@:2}"
}

# Enter on the message box titled Quorvane; true once none is left. The box is looked up
# afresh each time: Wine may put a new X window under it while it opens, and the one found
# first can be gone by the time the key is sent.
dismiss_box() {
  local box
  box=$(visible_window Quorvane)
  [ -n "$box" ] || return 0
  xdotool windowactivate --sync "$box" 2>/dev/null || true
  xdotool key --window "$box" Return 2>/dev/null || true
  sleep 0.5
  gone Quorvane
}

(cd "$folder" && exec wine ./quorvane.exe) >"$scratch/program.log" 2>&1 &
program_pid=$!
if wait_for 60 window_named Quorvane; then
  result "first start" 1 "a message box titled Quorvane, as no times are saved yet"
  wait_for 20 dismiss_box || die "the first-start message did not close on Enter"
else
  result "first start" 0 "no first-start message"
fi
wait_for 20 window_named Form1 || die "the main window did not appear"
xdotool windowactivate --sync "$(visible_window Form1)" 2>/dev/null || true
sleep 1

# Command1 saves the nine boxes: the default times, one line with CR LF.
click_in Form1 680 56 153 41
wait_for 10 test -f "$times" || true
if [ -f "$times" ] && [ "$(tail -c 2 "$times" | od -An -tx1 | tr -d ' \n')" = 0d0a ]; then
  result "save" 1 "$(winepath -w "$times" 2>/dev/null): $(tr -d '\r\n' <"$times") with CR LF"
else
  result "save" 0 "no %APPDATA%\\Quorvane.txt with CR LF after a click on the save button"
fi

# The water reminder set to 1 second and started.
click_in Form1 368 16 9 12    # Check1
click_in Form1 64 48 81 57    # h
xdotool key ctrl+a 0
click_in Form1 296 48 81 57   # m
xdotool key ctrl+a 0
click_in Form1 528 48 81 57   # s
xdotool key ctrl+a 1
click_in Form1 192 424 289 41 # 确定选择并开始计时
if wait_for 15 window_named Form2; then
  result "reminder" 1 "Form2 opened a second after the start"
  sleep 1.5
  click_in Form2 232 232 121 49 # 我已知晓
  if wait_for 10 gone Form2; then
    result "acknowledge" 1 "Form2 went at a click on 我已知晓"
  else
    result "acknowledge" 0 "Form2 stayed after a click on 我已知晓"
  fi
else
  result "reminder" 0 "no Form2 after a 1-second countdown"
fi
saved=$(cat "$times" 2>/dev/null || true)

# Ended by force (its Wine server killed, as Task Manager's "End task" or a crash would end
# it): the lock file stays behind, and the next start must bring the main window, not end
# without a word.
kill "$program_pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wait_for 10 gone Form1 || true
(cd "$folder" && exec wine ./quorvane.exe) >"$scratch/program-again.log" 2>&1 &
program_pid=$!
if wait_for 60 window_named Form1; then
  result "start after a forced end" 1 "the main window came"
else
  result "start after a forced end" 0 "no main window after the program was ended by force (it $(
    kill -0 "$program_pid" 2>/dev/null && echo runs || echo ended))"
fi
kill "$program_pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
program_pid=

# ---- Silent uninstall ---------------------------------------------------------------
# The uninstaller copies itself elsewhere and returns at once: wait for the folder to go.
wine "$folder/uninstall.exe" /S >"$scratch/uninstall.log" 2>&1 || true
wineserver -w
wait_for 30 test ! -e "$folder/quorvane.exe" || true
left=
if [ -e "$folder" ]; then left=$(cd "$c" && find "Program Files/Quorvane" | sed -n 1,5p | tr '\n' ' '); fi
result "uninstall" "$([ -z "$left" ] && echo 1 || echo 0)" "${left:-Program Files\\Quorvane removed}"
link=$(find "$c" -iname 'Quorvane.lnk' -path '*Start Menu*' | sed -n 1p)
registered=$(wine reg query "$uninstall_key" >/dev/null 2>&1 && echo 1 || echo 0)
result "uninstall entries" "$([ -z "$link" ] && [ "$registered" = 0 ] && echo 1 || echo 0)" \
  "Start menu entry and list-of-programs key removed"
result "times kept" "$([ -n "$saved" ] && [ "$(cat "$times" 2>/dev/null)" = "$saved" ] && echo 1 || echo 0)" \
  "%APPDATA%\\Quorvane.txt after uninstalling"

[ "$failures" = 0 ] || die "$failures installer checks failed"
echo "installer: all checks passed"
