#!/usr/bin/env bash
# A4 pages at 200 dpi (1654 x 2339) for the JPEG decoding benchmark: a colour page (a letter
# head, a photograph, coloured text lines) coded 4:2:0 at quality 85, and its grey version.
#   make_jpeg_pages.sh OUTDIR  -> OUTDIR/colour_a4.jpg, OUTDIR/grey_a4.jpg
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
font=()
convert -list font 2>/dev/null | grep -q "Font: DejaVu-Sans$" && font=(-font DejaVu-Sans)
text=()
for row in $(seq 0 40); do
    text+=(-annotate "+120+$((1000 + row * 30))" \
        "Riga $row: fattura 4711-$row, bolla di consegna, importo 1.234,56 EUR, IVA 22%")
done
convert -size 1654x2339 xc:white \
    -fill '#1f4e9a' -draw "rectangle 0,0 1654,180" \
    -fill white "${font[@]}" -pointsize 64 -annotate +120+120 'Scantora Documenti' \
    \( -size 900x600 -seed 9 plasma:green-yellow \) -geometry +377+300 -composite \
    -fill '#333333' "${font[@]}" -pointsize 22 "${text[@]}" \
    -fill '#c0392b' -draw "circle 1400,2150 1500,2230" "$work/page.ppm"
cjpeg -quality 85 -sample 2x2 -outfile "$out/colour_a4.jpg" "$work/page.ppm"
cjpeg -quality 85 -grayscale -outfile "$out/grey_a4.jpg" "$work/page.ppm"
