# The Debian packages Quorvane needs, in one place; sourced by tools/setup.sh,
# tools/sanitize.sh and bench/run.sh.

# To build the program and run it: compiler, CMake, Qt 6 with its SQLite driver and its
# Chinese translation, libxcb and libXss (the X11 window manager conversation and the
# idle time), the Wayland client library and protocols (the idle time in a Wayland
# session), GLib's GIO (GNOME's do-not-disturb switch through GSettings), libcanberra and
# a sound theme, the Noto CJK fonts, and fontTools, which cuts the program's own Song face
# from them at build time.
quorvane_packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libxss-dev libglib2.0-dev libqt6sql6-sqlite
  libwayland-dev wayland-protocols
  libcanberra-dev libcanberra-pulse sound-theme-freedesktop
  fonts-noto-cjk python3-fonttools qt6-translations-l10n
)

# What the whole test suite needs beyond them: the desktop-file and AppStream checks, the
# Debian package test, and the tests that run the program on a private X server and under
# a headless Wayland compositor; a session bus, a tray and a notification server for the
# additions' desktop test; the window managers and terminal of the reminder tests on a
# real desktop; GNOME Shell (with gjs, which runs its notification service) and KWin as
# Wayland compositors with XWayland (their settings schemas serve the do-not-disturb
# test too), KWin's fake input protocol for the test's keyboard, and xrandr for two
# screens.
quorvane_test_packages=(
  desktop-file-utils appstream dpkg-dev file xvfb xdotool imagemagick x11-utils
  weston qt6-wayland dbus-daemon dbus-bin trayer dunst python3-dbus python3-gi
  openbox xfwm4 metacity marco mate-settings-daemon-common kwin-x11 wmctrl xterm
  gnome-shell gjs gsettings-desktop-schemas kwin-wayland xwayland plasma-wayland-protocols
  libkf5service-bin x11-xserver-utils
)
