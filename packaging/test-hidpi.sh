#!/bin/sh
# Starts the program under Xvfb at scale 1 and at QT_SCALE_FACTOR=2 and checks that the
# main window doubles exactly in size and looks the same, only sharper: the scale-1
# picture blown up two times and the scale-2 picture, both slightly blurred so that the
# sharper glyph edges do not count, may differ in at most 0.2 % of their pixels.
# Also checks that the window's class is the one the menu entry names (StartupWMClass),
# which desktops use to put the running window under the entry's icon.
# Exits 77 (skipped) when Xvfb, xdotool or ImageMagick is missing.
#
#   sh packaging/test-hidpi.sh PROGRAM SCRATCH_DIR
set -eu

program=$1
scratch=$2
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb xdotool import convert compare identify; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is missing (packages xvfb, xdotool, imagemagick)"
    exit 77
  fi
done

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch"
for s in 1 2; do
  bash "$here/../tools/screenshots.sh" --program "$program" --scale "$s" --main-only \
    --out "$scratch/scale$s" >"$scratch/scale$s.log" 2>&1 || {
    cat "$scratch/scale$s.log" >&2
    fail "no screenshot at scale $s"
  }
  cat "$scratch/scale$s.log"
done

size1=$(identify -format '%wx%h' "$scratch/scale1/main-window.png")
size2=$(identify -format '%wx%h' "$scratch/scale2/main-window.png")
[ "$size1" = 893x488 ] || fail "main window at scale 1 is $size1, not 893x488"
[ "$size2" = 1786x976 ] || fail "main window at scale 2 is $size2, not 1786x976"

convert "$scratch/scale1/main-window.png" -filter point -resize 200% -blur 0x3 "$scratch/up.png"
convert "$scratch/scale2/main-window.png" -blur 0x3 "$scratch/hi.png"
differing=$(compare -metric AE -fuzz 20% "$scratch/up.png" "$scratch/hi.png" "$scratch/diff.png" 2>&1 || true)
case $differing in
'' | *[!0-9]*) fail "compare failed: $differing" ;;
esac
limit=$((1786 * 976 / 500))
echo "pixels differing between scale 2 and scale 1 doubled: $differing (limit $limit)"
[ "$differing" -le "$limit" ] || fail "the window at scale 2 does not look like the window at scale 1 (see $scratch/diff.png)"

class=$(sed -n 's/^main window class: .*, "\(.*\)"$/\1/p' "$scratch/scale1.log")
if [ -n "$class" ]; then
  wmclass=$(sed -n 's/^StartupWMClass=//p' "$here/io.github.quorvane.Quorvane.desktop")
  [ "$class" = "$wmclass" ] || fail "the window's class is $class, the menu entry's StartupWMClass is $wmclass"
fi
echo "the main window scales cleanly"
