#!/usr/bin/env bash
# Pages for the reader control benchmark: page-1.tif of make_barcode_pages.sh (A4, 300 dpi,
# Group 4, two Code 39 labels and text) and an A4 colour page at 200 dpi with two Code 39 labels
# on a tinted ground with a coloured head, text and a stamp, coded as JPEG 4:2:0 at quality 85.
#   make_barlynx_pages.sh OUTDIR  -> OUTDIR/a4-300-g4.tif, OUTDIR/a4-200-colour.jpg,
#                                    OUTDIR/labels.txt
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$(dirname "$0")/make_barcode_pages.sh" "$work/g4" >/dev/null
cp "$work/g4/page-1.tif" "$out/a4-300-g4.tif"
cp "$work/g4/labels-1.txt" "$out/labels.txt"
{ read -r l1; read -r l2; } <"$out/labels.txt"
zint -b 8 --notext --height=30 --scale=1 --fg=1a1a5e -d "$l1" -o "$work/a.png"
zint -b 8 --notext --height=30 --scale=1.5 -d "$l2" -o "$work/b.png"
text=()
for row in $(seq 0 30); do
    text+=(-annotate "+120+$((1250 + row * 30))" \
        "Riga $row: fattura 4711-$row, bolla di consegna, importo 1.234,56 EUR, IVA 22%")
done
convert -size 1654x2339 xc:'#f4efe1' \
    -fill '#1f4e9a' -draw "rectangle 0,0 1654,180" \
    "$work/a.png" -geometry +150+300 -composite "$work/b.png" -geometry +950+1000 -composite \
    -fill '#333333' -font DejaVu-Sans -pointsize 22 "${text[@]}" \
    -fill '#c0392b' -draw "circle 1400,2150 1500,2230" "$work/page.ppm"
convert "$work/page.ppm" -units PixelsPerInch -density 200 -sampling-factor 2x2 -quality 85 \
    "$out/a4-200-colour.jpg"
