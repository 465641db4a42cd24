#!/usr/bin/env bash
# Colour and grey pages for the reader control's colour path: Code 39 symbols (zint) in dark
# ink on tinted paper at 200 dpi.
#   make_colour_pages.sh OUTDIR  -> OUTDIR/colour.jpg (COLOUR-1), grey.jpg (GREY-22),
#   colour.tif (uncompressed RGB TIFF: COLOUR-3), turned.jpg (TURNED-4 turned a quarter)
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# page FILE DATA INK PAPER [ROTATION]
page() {
    zint -b 8 --notext --height=25 --scale=1.5 --fg="$3" -d "$2" -o "$work/symbol.png"
    convert "$work/symbol.png" -rotate "${5:-0}" "$work/symbol.png"
    convert -size 1000x700 "xc:#$4" -fill '#1f4e9a' -draw 'rectangle 0,0 1000,60' \
        "$work/symbol.png" -geometry +150+300 -composite \
        -units PixelsPerInch -density 200 "$1"
}

page "$work/colour.ppm" COLOUR-1 1a1a5e f4efe1
convert "$work/colour.ppm" -units PixelsPerInch -density 200 -sampling-factor 2x2 -quality 85 \
    "$out/colour.jpg"
page "$work/grey.ppm" GREY-22 000000 e8e8e8
convert "$work/grey.ppm" -colorspace gray -units PixelsPerInch -density 200 -quality 85 \
    "$out/grey.jpg"
page "$work/tiff.ppm" COLOUR-3 000000 fff8e0
convert "$work/tiff.ppm" -type TrueColor -depth 8 -compress none -units PixelsPerInch \
    -density 200 "$out/colour.tif"
page "$work/turned.ppm" TURNED-4 1a1a5e f4efe1 90
convert "$work/turned.ppm" -units PixelsPerInch -density 200 -sampling-factor 2x2 -quality 85 \
    "$out/turned.jpg"
