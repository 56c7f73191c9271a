#!/bin/sh
# Builds the Debian package of a built tree into a scratch folder (never into the build
# tree's own package folder), checks its control data and contents, unpacks it into a
# scratch root and starts the unpacked program headless.
#
#   sh packaging/test-package.sh BUILD_DIR SCRATCH_DIR
set -eu

build=$1
scratch=$2

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps readelf file; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (packages cmake, dpkg-dev, binutils, file)"
done

rm -rf "$scratch"
mkdir -p "$scratch/out" "$scratch/root" "$scratch/config"

# -B: the package and CPack's staging folder go to the scratch folder, so a cpack run by
# hand in the build tree at the same time is not disturbed.
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  fail "cpack failed"
fi

set -- "$scratch"/out/*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then fail "expected one .deb in $scratch/out, found: $*"; fi
deb=$1
field() { dpkg-deb -f "$deb" "$1"; }

# Debian's file name: package_version_architecture.deb
expected_name=$(field Package)_$(field Version)_$(field Architecture).deb
[ "$(basename "$deb")" = "$expected_name" ] || fail "file name $(basename "$deb") is not $expected_name"
[ "$(field Package)" = quorvane ] || fail "package name is $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture $(field Architecture)"
[ "$(field Section)" = utils ] || fail "section is $(field Section)"
field Maintainer | grep -q '<quorvane@users.noreply.github.com>' || fail "maintainer is $(field Maintainer)"
[ -n "$(field Description)" ] || fail "no description"

depends=$(field Depends)
echo "Depends: $depends"
has_dep() {
  # One entry of the comma-separated list, with or without a version.
  echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ *$//; s/ *(.*)$//' | grep -qxF "$1"
}
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6; do
  has_dep "$lib" || fail "Depends lacks $lib (dpkg-shlibdeps did not run?)"
done
has_dep "fonts-noto-cjk | fonts-arphic-uming | fonts-wqy-microhei" || fail "Depends lacks a CJK font"
# Qt's Chinese translation, which the program loads when it is there.
field Recommends | tr ',' '\n' | sed 's/^ *//; s/ *$//' | grep -qxF qt6-translations-l10n ||
  fail "Recommends lacks qt6-translations-l10n: $(field Recommends)"
# Each package at most once.
dupes=$(echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ *(.*)$//' | sort | uniq -d)
[ -z "$dupes" ] || fail "Depends names $dupes twice"

# Every dependency names a real package at a version this system has or can get: apt
# works out an installation without carrying it out.
if command -v apt-get >/dev/null 2>&1; then
  if ! apt-get install -s -q --no-install-recommends "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")" \
    >"$scratch/apt.log" 2>&1; then
    cat "$scratch/apt.log" >&2
    fail "apt cannot satisfy the package's dependencies"
  fi
fi

# The package's files, and the program in it.
dpkg-deb -x "$deb" "$scratch/root"
program=$scratch/root/usr/bin/quorvane
for f in usr/bin/quorvane usr/share/applications/io.github.quorvane.Quorvane.desktop \
  usr/share/icons/hicolor/48x48/apps/quorvane.png usr/share/icons/hicolor/scalable/apps/quorvane.svg; do
  [ -f "$scratch/root/$f" ] || fail "the package lacks /$f"
done
ls "$scratch"/root/usr/share/metainfo/*.metainfo.xml >/dev/null 2>&1 || fail "the package lacks its AppStream file"
if dpkg-deb -c "$deb" | grep -v ' \./usr/' | grep -v ' \./$'; then
  fail "the package installs outside /usr"
fi

needed=$(readelf -d "$program")
# libcanberra is opened at the first bell, so no linker dependency names it.
has_dep libcanberra0 || fail "Depends lacks libcanberra0, which rings the bell"
has_dep sound-theme-freedesktop || fail "Depends lacks sound-theme-freedesktop, whose bell libcanberra plays"
if echo "$needed" | grep -Eq 'R(UN)?PATH'; then
  fail "the packaged program carries a library search path: $(echo "$needed" | grep -E 'R(UN)?PATH')"
fi
if readelf -S "$program" | grep -q '\.debug_info'; then
  fail "the packaged program is not stripped"
fi

# Start the unpacked program headless with a valid settings file (so no message box),
# and check that it is still running two seconds later, i.e. in its event loop.
# No session bus and a runtime folder of its own: a Quorvane the user runs is another
# instance, which this one would only bring forward.
printf '0,30,0,1,0,0,2,0,0\r\n' >"$scratch/config/Quorvane.txt"
mkdir -m 700 "$scratch/runtime"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime \
  DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-bus "$program" >"$scratch/program.log" 2>&1 &
pid=$!
sleep 2
if ! kill -0 "$pid" 2>/dev/null; then
  status=0
  wait "$pid" || status=$?
  cat "$scratch/program.log" >&2
  fail "the unpacked program exited at once (status $status)"
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "package $(basename "$deb") is complete and its program starts"
