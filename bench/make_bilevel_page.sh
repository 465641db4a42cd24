#!/usr/bin/env bash
# An A4 text page at 300 dpi (2480 x 3508) coded Group 4 in one strip, for the bilevel
# decoding benchmark.   make_bilevel_page.sh OUTDIR  -> OUTDIR/text_a4_300_g4.tif
# With a point size, lines of that size as a letter has them (the default's overlap into a
# dense page):           make_bilevel_page.sh OUTDIR 11  -> OUTDIR/text_a4_300_g4_11pt.tif
set -euo pipefail
out=$1
points=${2:-34}
name=text_a4_300_g4
[ $# -ge 2 ] && name=${name}_${points}pt
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
font=()
convert -list font 2>/dev/null | grep -q "Font: DejaVu-Sans$" && font=(-font DejaVu-Sans)
text=()
for row in $(seq 0 60); do
    text+=(-annotate "+150+$((200 + row * 52))" \
        "Riga $row: fattura 4711-$row, bolla di consegna del 12/03, importo 1.234,56 EUR, IVA 22%")
done
convert -size 2480x3508 xc:white -units PixelsPerInch -density 300 "${font[@]}" -pointsize "$points" \
    -fill black "${text[@]}" -monochrome "$work/page.pbm"
convert "$work/page.pbm" "$work/page.tif"
tiffcp -s -r 100000 -c g4 "$work/page.tif" "$out/$name.tif"
