#!/usr/bin/env bash
# A4 pages at 150 dpi (1240 x 1754) for the colour reader benchmark: RGB uncompressed and grey
# PackBits TIFF.   make_colour_pages.sh OUTDIR
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 1240x1754 -seed 7 plasma:tomato-steelblue -depth 8 "$work/page.ppm"
convert "$work/page.ppm" -type TrueColor -compress none "$work/rgb.tif"
tiffcp -r 16 "$work/rgb.tif" "$out/a4_150_rgb.tif"
convert "$work/page.ppm" -colorspace Gray -depth 8 -compress none "$work/grey.tif"
tiffcp -c packbits -r 16 "$work/grey.tif" "$out/a4_150_grey_packbits.tif"
