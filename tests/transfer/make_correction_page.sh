#!/usr/bin/env bash
# A page for the Reject Correction dialog: a 200 dpi Group 4 page carrying one Code 93 symbol
# (zint, 3-pixel modules) of "12?45", which the reader takes for a read with a rejected
# character.
#   make_correction_page.sh OUTDIR  -> OUTDIR/rejected.tif
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
zint -b 25 --notext --height=12 --scale=1.5 -d '12?45' -o "$work/symbol.png"
convert -size 1000x300 xc:white "$work/symbol.png" -geometry +100+120 -composite \
    -colorspace gray -threshold 50% "$work/page.pbm"
pnmtotiff -g4 -rowsperstrip 100000 -xresolution 200 -yresolution 200 "$work/page.pbm" \
    >"$out/rejected.tif"
