#!/usr/bin/env bash
# Generates assets/background.jpg: a calm evening sky (lilac above, rosy
# glow near the horizon) with young trees and two street lamps along the
# bottom edge.
#
# The picture is fully deterministic (fixed noise seeds), so running the
# script again reproduces the same file.
#
# Labels are painted straight onto this picture, so the colours are tuned:
# the upper sky stays dark enough for light text and the glow below row
# ~350 stays light enough for black text.  Run
# tools/check-background-contrast.py after changing anything here.
#
# Usage: tools/make-background.sh [output.jpg]
# Needs: ImageMagick 6 or 7 (convert / magick).

set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/../assets/background.jpg}"

if command -v magick >/dev/null 2>&1; then
    IM=(magick)
else
    IM=(convert)
fi

W=1079
H=589

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# --- 1. Sky gradient --------------------------------------------------------
# Colour stops from the top of the picture down to the horizon.  Each band
# starts with the colour the previous one ended with, so the joins are
# seamless; a light blur removes the remaining kinks.
stops=(
    0   '#3a2a62'   # deep indigo
    120 '#4e3c7c'
    220 '#624a8e'   # dusk violet
    280 '#745496'
    320 '#8a62a2'   # lilac
    350 '#a872aa'
    380 '#c884ae'   # mauve turning pink
    410 '#dc98b4'
    450 '#eaaab8'   # rose
    500 '#f4bcb8'
    540 '#fac8b4'   # peach glow at the horizon
    589 '#f2bca8'
)
bands=()
for ((i = 0; i + 3 < ${#stops[@]}; i += 2)); do
    y0=${stops[i]} c0=${stops[i + 1]} y1=${stops[i + 2]} c1=${stops[i + 3]}
    "${IM[@]}" -size "${W}x$((y1 - y0))" "gradient:$c0-$c1" "$tmp/band$i.png"
    bands+=("$tmp/band$i.png")
done
"${IM[@]}" "${bands[@]}" -append -blur 0x8 "$tmp/sky.png"

# Warm glow where the sun has just set, right of centre on the horizon.
"${IM[@]}" -size 600x600 radial-gradient:'#ffe6c8'-'#ffe6c800' \
    -resize '1300x300!' "$tmp/glow.png"
"${IM[@]}" "$tmp/sky.png" "$tmp/glow.png" -geometry +120+390 \
    -compose over -composite "$tmp/sky.png"

# --- 2. Clouds ----------------------------------------------------------------
# Cloud density comes from a few octaves of smoothly enlarged random noise.
# The cells are wider than tall, so the clouds lie in long calm streaks.
octave() { # cell-grid seed out
    "${IM[@]}" -size "$1" xc:gray50 -seed "$2" +noise Random \
        -channel R -separate +channel -auto-level \
        -filter gaussian -resize "${W}x${H}!" -auto-level "$3"
}
noise() { # out seed grid1 grid2 grid3 weights
    octave "$3" "$2" "$tmp/o1.png"
    octave "$4" "$(($2 + 1))" "$tmp/o2.png"
    octave "$5" "$(($2 + 2))" "$tmp/o3.png"
    "${IM[@]}" "$tmp/o1.png" "$tmp/o2.png" "$tmp/o3.png" \
        -poly "$6" -auto-level "$1"
}
noise "$tmp/n_high.png" 7  10x18 22x34 48x70   "0.55,1 0.3,1 0.15,1"
noise "$tmp/n_low.png"  31 6x30  12x60 28x120  "0.5,1 0.32,1 0.18,1"

"${IM[@]}" "$tmp/n_high.png" -level 50%,82% "$tmp/mask_high.png"
"${IM[@]}" "$tmp/n_low.png"  -level 56%,80% "$tmp/mask_low.png"

# Clouds are lit from below by the sunset: find the lower rims by comparing
# each pixel with the one a few rows further down.
"${IM[@]}" "$tmp/mask_high.png" \( +clone -roll +0-7 \) \
    -compose minus_src -composite -blur 0x2 -level 0%,35% "$tmp/rim_high.png"

# Vertical strength profiles (white = full strength), given as
# "height from to" triples from the top down.
profile() { # out triples...
    local o=$1; shift
    local parts=() i=0
    while [ $# -ge 3 ]; do
        "${IM[@]}" -size "${W}x$1" "gradient:$2-$3" "$tmp/p_$o$i.png"
        parts+=("$tmp/p_$o$i.png"); i=$((i + 1)); shift 3
    done
    "${IM[@]}" "${parts[@]}" -append "$tmp/$o.png"
}
# High lilac clouds: all over the upper sky, thinning out towards the glow.
profile prof_high 240 gray55 gray50  90 gray50 gray30  70 gray30 black  189 black black
# Low rosy streaks: only in the glow band above the trees.
profile prof_low  320 black black  60 black gray60  110 gray60 gray55  99 gray55 black

# Keep the clouds a little thinner right behind the coloured headings in the
# upper left, so the text there sits on an even background.
"${IM[@]}" -size "${W}x${H}" xc:white -fill gray55 \
    -draw 'roundrectangle 200,0 460,330 40,40' -blur 0x40 "$tmp/calm.png"

"${IM[@]}" "$tmp/mask_high.png" "$tmp/prof_high.png" -compose multiply -composite \
    "$tmp/calm.png" -compose multiply -composite "$tmp/a_high.png"
"${IM[@]}" "$tmp/rim_high.png" "$tmp/prof_high.png" -compose multiply -composite \
    "$tmp/calm.png" -compose multiply -composite "$tmp/a_rim.png"
"${IM[@]}" "$tmp/mask_low.png" "$tmp/prof_low.png" -compose multiply \
    -composite "$tmp/a_low.png"

# Cloud colours: soft lilac bodies with rosy undersides up high, pale peach
# wisps down low.
paint() { # colour-gradient alpha out
    "${IM[@]}" -size "${W}x${H}" "gradient:$1" "$2" -alpha off \
        -compose copyopacity -composite "$3"
}
paint '#8a6cb4-#c896c0' "$tmp/a_high.png" "$tmp/c_high.png"
paint '#d28ec2-#f6aabc' "$tmp/a_rim.png"  "$tmp/c_rim.png"
paint '#f6c2c6-#ffe4cc' "$tmp/a_low.png"  "$tmp/c_low.png"

"${IM[@]}" "$tmp/sky.png" \
    "$tmp/c_high.png" -compose over -composite \
    "$tmp/c_rim.png"  -compose over -composite \
    "$tmp/c_low.png"  -compose over -composite \
    "$tmp/sky.png"

# A handful of faint early stars, well away from the headings.
"${IM[@]}" "$tmp/sky.png" -fill '#f4e8ffb0' -stroke none \
    -draw 'circle 960,40 961,40' \
    -draw 'circle 1032,96 1033,96' \
    -draw 'circle 640,26 641,26' \
    -draw 'circle 88,58 89,58' \
    -draw 'circle 842,150 843,150' \
    "$tmp/sky.png"

# --- 3. Silhouettes -----------------------------------------------------------
# Young trees and two park lamps in one dark plum colour on a transparent
# layer.  Nothing reaches above y = 516, so the sky keeps the picture.
sil='#2b1b34'
ground=572
draw=()

# Small deterministic pseudo-random generator for the leafy crowns.
rng=20240607
rand() { # n -> R in [0, n)
    rng=$(( (rng * 1103515245 + 12345) & 0x7fffffff ))
    R=$(( (rng >> 16) % $1 ))
}

# Gently rolling ground strip.
draw+=(-draw "path 'M 0,575 C 160,566 330,572 520,569 C 700,566 880,574 1079,568 L 1079,589 L 0,589 Z'")

# A young broad-leaved tree: thin trunk, a couple of branches and a crown
# built from overlapping leaf clumps.
tree() { # x crown_cy rx ry
    local x=$1 cy=$2 rx=$3 ry=$4 i dx dy r n
    draw+=(-draw "polygon $((x - 2)),$ground $((x + 2)),$ground $x,$((cy - ry / 3))")
    draw+=(-draw "line $x,$((cy + ry / 2)) $((x - rx / 2)),$((cy - 1))")
    draw+=(-draw "line $x,$((cy + ry / 3)) $((x + rx / 2)),$((cy - 3))")
    draw+=(-draw "ellipse $x,$cy $((rx * 7 / 10)),$((ry * 7 / 10)) 0,360")
    n=$(( (rx * ry) / 4 + 10 ))
    for ((i = 0; i < n; i++)); do
        rand $((2 * rx + 1)); dx=$((R - rx))
        rand $((2 * ry + 1)); dy=$((R - ry))
        # keep clumps inside the crown's ellipse
        (( dx * dx * ry * ry + dy * dy * rx * rx > rx * rx * ry * ry )) && continue
        rand 3; r=$((R + 2))
        (( cy + dy - r < 517 )) && r=$((cy + dy - 517))
        (( r < 2 )) && continue
        draw+=(-draw "circle $((x + dx)),$((cy + dy)) $((x + dx + r)),$((cy + dy))")
    done
    # Support stake next to the trunk.
    draw+=(-draw "line $((x + 5)),$ground $((x + 5)),$((cy + ry - 2))")
}

# A young conifer: three stacked tiers on a short trunk.
conifer() { # x top height half-width
    local x=$1 top=$2 h=$3 w=$4 t y0 y1 hw
    draw+=(-draw "rectangle $((x - 1)),$((top + h - 2)) $((x + 1)),$ground")
    for t in 0 1 2; do
        y0=$((top + t * h / 4))
        y1=$((top + h * (t + 2) / 4))
        hw=$((w * (t + 2) / 4))
        draw+=(-draw "polygon $x,$y0 $((x - hw)),$y1 $((x + hw)),$y1")
    done
}

# A park lamp: slim pole on a base, with a lantern on top.  The glass is
# painted separately so it can glow.
lamp() { # x
    local x=$1
    draw+=(-draw "rectangle $((x - 3)),$((ground - 6)) $((x + 3)),$ground")
    draw+=(-draw "rectangle $((x - 1)),540 $((x + 1)),$ground")
    draw+=(-draw "rectangle $((x - 3)),539 $((x + 3)),541")
    draw+=(-draw "polygon $((x - 7)),528 $((x + 7)),528 $x,521")
    draw+=(-draw "line $x,521 $x,518")
    draw+=(-draw "line $((x - 5)),528 $((x - 3)),539")
    draw+=(-draw "line $((x + 5)),528 $((x + 3)),539")
}

tree     34 548 10 13
tree     88 541 13 17
conifer 131 526 46 12
tree    176 547 11 14
tree    230 540 13 18
lamp    283
tree    338 546 11 14
tree    396 539 14 18
conifer 446 528 44 11
tree    494 546 10 13
tree    552 541 13 17
tree    611 548 10 12
tree    664 540 14 18
tree    726 546 11 14
lamp    782
tree    836 541 13 17
conifer 884 525 47 12
tree    932 547 11 14
tree    985 540 13 18
tree   1046 546 11 15

"${IM[@]}" -size "${W}x${H}" xc:none -fill "$sil" -stroke "$sil" -strokewidth 1 \
    "${draw[@]}" "$tmp/sil.png"

# Warm halos around the lanterns (under the silhouettes) and the lit glass.
halo=() glass=()
for x in 283 782; do
    halo+=(-draw "circle $x,533 $x,540")
    glass+=(-draw "polygon $((x - 4)),529 $((x + 4)),529 $((x + 2)),538 $((x - 2)),538")
done
"${IM[@]}" -size "${W}x${H}" xc:none -fill '#ffefc4' "${halo[@]}" \
    -channel A -blur 0x9 +channel "$tmp/halo.png"

"${IM[@]}" "$tmp/sky.png" \
    "$tmp/halo.png" -compose screen -composite \
    "$tmp/halo.png" -compose over -composite \
    "$tmp/sil.png" -compose over -composite \
    -fill '#fff1c8' -stroke none "${glass[@]}" \
    -strip -sampling-factor 4:2:0 -interlace none -quality 85 \
    "$tmp/out.jpg"

mkdir -p "$(dirname "$out")"
mv "$tmp/out.jpg" "$out"
echo "wrote $out"
