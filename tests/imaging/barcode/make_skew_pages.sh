#!/usr/bin/env bash
# Pages with one zint Code 39 symbol, turned clockwise by -5 to +5 degrees about the page's
# centre (ImageMagick's SRT distortion; a positive angle makes the symbol descend to the right),
# coded Group 4 at 200 dpi; a colour page.
#   make_skew_pages.sh OUTDIR   ->  OUTDIR/skew-5.tif ... skew+0.tif ... skew+5.tif, colour.jpg
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

zint -b 8 --notext --height=40 --scale=2 -d "SKEW-TEST" -o "$work/symbol.png" >/dev/null
for angle in $(seq -5 5); do
    name=$(printf 'skew%+d' "$angle")
    convert -size 1000x500 xc:white "$work/symbol.png" -geometry +300+180 -composite \
        -virtual-pixel white -distort SRT "$angle" -colorspace gray -threshold 50% \
        "$work/$name.pbm"
    pnmtotiff -g4 -rowsperstrip 100000 -xresolution 200 -yresolution 200 "$work/$name.pbm" \
        > "$out/$name.tif"
done
convert -size 64x48 xc:red "$out/colour.jpg"
