#!/usr/bin/env bash
# The bilevel benchmark's A4 300 dpi text page stored as scanners store it: minimum-is-white (a
# set bit is black), 300 dpi, Group 4 in one strip, for the image window benchmark.
#   make_window_page.sh OUTDIR  -> OUTDIR/text_a4_300_g4_white.tif
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$out/text_a4_300_g4.tif" ] || "$here/make_bilevel_page.sh" "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert "$out/text_a4_300_g4.tif" -units PixelsPerInch -density 300 -compress Group4 "$work/page.tif"
tiffcp -s -r 100000 -c g4 "$work/page.tif" "$out/text_a4_300_g4_white.tif"
