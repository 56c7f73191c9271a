#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quorvane, builds it, then starts the program or runs
# the whole test suite:
#
#   bash tools/setup.sh run     install what is missing, build, start the program
#   bash tools/setup.sh test    install what is missing, build, run every test headless
#
# Works as root or as a user with sudo; does nothing it need not do on a second run.
set -euo pipefail

mode=${1:-run}
case "$mode" in
run | test) ;;
*)
  echo "usage: $0 run|test" >&2
  exit 2
  ;;
esac

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_BUILD_DIR:-$top/build}

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libxss-dev libqt6sql6-sqlite
  libcanberra-dev libcanberra-pulse sound-theme-freedesktop
  fonts-noto-cjk qt6-translations-l10n
  libwayland-dev wayland-protocols
)
if [ "$mode" = test ]; then
  # Desktop-file and AppStream checks, the Debian package test, and the tests that run
  # the program on a private X server and under a headless Wayland compositor; a session
  # bus, a tray and a notification server for the companion's desktop test; the window
  # managers and terminal of the reminder tests on a real desktop; GNOME Shell (with gjs,
  # which runs its notification service) and KWin as Wayland compositors with XWayland,
  # KWin's fake input protocol for the test's keyboard, and xrandr for two screens.
  packages+=(desktop-file-utils appstream dpkg-dev file xvfb xdotool imagemagick x11-utils
    weston qt6-wayland dbus-daemon dbus-bin trayer dunst python3-dbus python3-gi
    openbox xfwm4 metacity marco mate-settings-daemon-common kwin-x11 wmctrl xterm
    gnome-shell gjs gsettings-desktop-schemas kwin-wayland xwayland plasma-wayland-protocols
    libkf5service-bin x11-xserver-utils)
fi
bash "$top/tools/install-missing.sh" "${packages[@]}"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if [ "$mode" = run ]; then
  # Only the program: the tests are built by the test command.
  cmake --build "$build" -j "$(nproc)" --target quorvane
  exec "$build/quorvane"
fi
cmake --build "$build" -j "$(nproc)"
cd "$build"
exec ctest --output-on-failure --timeout 120
