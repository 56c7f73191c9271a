#!/bin/sh
# Installs a built tree into a scratch prefix and checks that the desktop sees a whole
# program there: the program, its menu entry, its icon at every size, its AppStream
# file, and that these name each other consistently. Nothing else may be installed.
#
#   sh packaging/test-install.sh BUILD_DIR SCRATCH_DIR APP_ID SOURCE_DIR
set -eu

build=$1
scratch=$2
appid=$3
source=$4
prefix=$scratch/usr

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch"
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 || {
  cat "$scratch/install.log" >&2
  fail "cmake --install failed"
}

sizes="16 22 24 32 48 64 128 256"
expected=$(
  {
    echo bin/quorvane
    echo share/applications/io.github.quorvane.Quorvane.desktop
    echo "share/metainfo/$appid.metainfo.xml"
    for n in $sizes; do echo "share/icons/hicolor/${n}x$n/apps/quorvane.png"; done
    echo share/icons/hicolor/scalable/apps/quorvane.svg
    # The licence, where the source has one, as Debian keeps it.
    [ ! -f "$source/LICENSE" ] || echo share/doc/quorvane/copyright
  } | LC_ALL=C sort
)
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
if [ "$expected" != "$actual" ]; then
  echo "expected:" >&2
  echo "$expected" >&2
  echo "installed:" >&2
  echo "$actual" >&2
  fail "the installed files are not the expected ones"
fi

[ -x "$prefix/bin/quorvane" ] || fail "bin/quorvane is not executable"

# Every PNG is a PNG of the size its folder names (bytes 16-23: width and height).
for n in $sizes; do
  f=$prefix/share/icons/hicolor/${n}x$n/apps/quorvane.png
  magic=$(od -An -tx1 -N8 "$f" | tr -d ' \n')
  [ "$magic" = 89504e470d0a1a0a ] || fail "$f is not a PNG"
  dims=$(od -An -tu1 -j16 -N8 "$f" | tr -s ' \n' ' ')
  # shellcheck disable=SC2086 # eight numbers, split on purpose
  set -- $dims
  w=$(($1 * 16777216 + $2 * 65536 + $3 * 256 + $4))
  h=$(($5 * 16777216 + $6 * 65536 + $7 * 256 + $8))
  if [ "$w" != "$n" ] || [ "$h" != "$n" ]; then fail "$f is ${w}x$h, not ${n}x$n"; fi
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/quorvane.svg" || fail "the scalable icon is not an SVG"

# The menu entry starts an installed program and names the installed icon.
desktop=$prefix/share/applications/io.github.quorvane.Quorvane.desktop
entry() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
exec_line=$(entry Exec)
program=${exec_line%% *}
[ -x "$prefix/bin/$program" ] || fail "Exec=$exec_line names no installed program"
icon=$(entry Icon)
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon names no installed icon"
[ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "Icon=$icon has no 48x48 picture"

# The AppStream file points at that entry, that program and that icon.
metainfo=$prefix/share/metainfo/$appid.metainfo.xml
grep -q "<id>$appid</id>" "$metainfo" || fail "the metainfo file's id is not $appid"
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
[ -f "$prefix/share/applications/$launchable" ] || fail "launchable $launchable is not installed"
binary=$(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo")
[ -x "$prefix/bin/$binary" ] || fail "provided binary $binary is not installed"
stock=$(sed -n 's|.*<icon type="stock">\(.*\)</icon>.*|\1|p' "$metainfo")
[ "$stock" = "$icon" ] || fail "metainfo icon $stock differs from the menu entry's $icon"

echo "installed files are complete and consistent"
