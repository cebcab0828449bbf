#!/usr/bin/env bash
# Draws the launcher's logo (a folded-ribbon "M" in a violet-to-cyan gradient on a transparent
# 1077 x 951 canvas) with ImageMagick and wraps the PNG in the SVG the pages load:
#   tools/logo/make_logo.sh [output.svg]   (default: web/public/assets/logo.svg)
set -euo pipefail

out=${1:-"$(dirname "$0")/../../web/public/assets/logo.svg"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

width=1077
height=951
letter="polygon 90,855 90,95 538,535 987,95 987,855 812,855 812,445 538,720 265,445 265,855"
left_band="polygon 265,267 538,535 538,720 265,445"
right_band="polygon 538,535 812,266 812,445 538,720"

convert -size ${width}x${height} -define gradient:angle=135 gradient:'#c4b5fd'-'#22d3ee' "$work/fill.png"
convert -size ${width}x${height} xc:none \
  -fill 'rgba(0,0,0,0.30)' -draw "$left_band" \
  -fill 'rgba(255,255,255,0.22)' -draw "$right_band" "$work/folds.png"
convert -size ${width}x${height} xc:black -fill white -draw "$letter" "$work/mask.png"
convert "$work/fill.png" "$work/folds.png" -compose over -composite \
  "$work/mask.png" -alpha off -compose CopyOpacity -composite \
  -define png:color-type=6 -strip "PNG32:$work/logo.png"

# The square view box centres the wider-than-tall raster vertically: (1077 - 951) / 2 = 63.
{
  printf '<?xml version="1.0" encoding="UTF-8" standalone="no"?>\n'
  printf '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" version="1.1" '
  printf 'width="3.59in" height="3.59in" viewBox="0 0 1077 1077">\n'
  printf '  <image x="0" y="63" width="1077" height="951" xlink:href="data:image/png;base64,'
  base64 -w 0 "$work/logo.png"
  printf '"/>\n</svg>\n'
} >"$out"
