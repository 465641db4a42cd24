#!/usr/bin/env bash
# The page of the acquisition loop benchmark: the A4 300 dpi page of 11-point text lines of
# make_bilevel_page.sh with a Code 39 label (zint, 4-pixel modules) in its top right corner, as
# invoices carry them, coded Group 4 in one strip.
#   make_loop_page.sh OUTDIR  -> OUTDIR/loop_a4_300_g4.tif
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/make_bilevel_page.sh" "$work" 11
zint -b 8 --notext --height=40 --scale=2 -d INV4711 -o "$work/label.png"
convert "$work/text_a4_300_g4_11pt.tif" "$work/label.png" -geometry +1500+40 -composite \
    -monochrome "$work/page.tif"
tiffcp -s -r 100000 -c g4 "$work/page.tif" "$out/loop_a4_300_g4.tif"
