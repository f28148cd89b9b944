#!/usr/bin/env bash
# Draws the program icon (a route line on a rounded tile in the sketch's colours) at every size
# the icon group carries and packs them into src/app/tirn-gpx-library.ico. Needs ImageMagick;
# the generated .ico is committed so that the build itself does not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/src/app/tirn-gpx-library.ico}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert_cmd=convert
command -v magick >/dev/null 2>&1 && convert_cmd="magick"

frames=()
for size in 16 24 32 48 64 128 256; do
    # Everything is drawn on a 256 grid and scaled, so small sizes keep the same shape.
    s=$(awk -v s="$size" 'BEGIN { printf "%.5f", s / 256 }')
    p() { awk -v s="$s" -v x="$1" -v y="$2" 'BEGIN { printf "%.2f,%.2f", x * s, y * s }'; }
    stroke=$(awk -v s="$s" 'BEGIN { w = 22 * s; if (w < 2) w = 2; printf "%.2f", w }')
    frame=$(awk -v s="$s" 'BEGIN { w = 8 * s; if (w < 1) w = 1; printf "%.2f", w }')
    radius=$(awk -v s="$s" 'BEGIN { printf "%.2f", 48 * s }')
    dot=$(awk -v s="$s" 'BEGIN { r = 18 * s; if (r < 1.5) r = 1.5; printf "%.2f", r }')
    "$convert_cmd" -size "${size}x${size}" xc:none \
        -fill 'rgb(255,254,251)' -stroke 'rgb(211,171,90)' -strokewidth "$frame" \
        -draw "roundrectangle $(p 10 10) $(p 246 246) $radius,$radius" \
        -fill none -stroke 'rgb(199,140,21)' -strokewidth "$stroke" \
        -draw "stroke-linecap round stroke-linejoin round path 'M $(p 56 196) C $(p 70 120) $(p 120 170) $(p 132 118) S $(p 170 56) $(p 204 62)'" \
        -stroke none -fill 'rgb(199,140,21)' \
        -draw "circle $(p 56 196) $(awk -v c="$(p 56 196)" -v d="$dot" 'BEGIN { split(c, a, ","); printf "%.2f,%.2f", a[1] + d, a[2] }')" \
        -fill 'rgb(29,29,31)' \
        -draw "circle $(p 204 62) $(awk -v c="$(p 204 62)" -v d="$dot" 'BEGIN { split(c, a, ","); printf "%.2f,%.2f", a[1] + d, a[2] }')" \
        -define png:color-type=6 "PNG32:$work/icon-$size.png"
    frames+=("$work/icon-$size.png")
done
# One image per size, drawn above; ImageMagick stores the 256 px image as PNG.
"$convert_cmd" "${frames[@]}" "$out"
echo "wrote $out"
