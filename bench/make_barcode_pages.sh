#!/usr/bin/env bash
# A4 pages at 300 dpi, Group 4, each with two Code 39 labels and lines of text, for the barcode
# search benchmark.  make_barcode_pages.sh OUTDIR  -> OUTDIR/page-N.tif, OUTDIR/labels-N.txt
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
n=0
# label-1 scale x y  label-2 scale x y  (scale: zint, 1 = 2 pixels per module)
while read -r l1 s1 x1 y1 l2 s2 x2 y2; do
    n=$((n + 1))
    zint -b 8 --notext --height=30 --scale="$s1" -d "$l1" -o "$work/a.png"
    zint -b 8 --notext --height=30 --scale="$s2" -d "$l2" -o "$work/b.png"
    text=()
    for row in $(seq 0 24); do
        text+=(-annotate "+200+$((1900 + row * 60))" \
            "Line $row: invoice 4711-$row, delivery note, amount 1,234.56 EUR, VAT 22%")
    done
    convert -size 2480x3508 xc:white "$work/a.png" -geometry "+$x1+$y1" -composite \
        "$work/b.png" -geometry "+$x2+$y2" -composite \
        -font DejaVu-Sans -pointsize 36 "${text[@]}" -colorspace gray -threshold 50% \
        "$work/page.pbm"
    pnmtotiff -g4 -rowsperstrip 100000 -xresolution 300 -yresolution 300 "$work/page.pbm" \
        > "$out/page-$n.tif"
    printf '%s\n%s\n' "$l1" "$l2" > "$out/labels-$n.txt"
done <<'PAGES'
DOC-000123 1 300 300 BATCH-77 1.5 1400 900
SEP-0001 2 200 500 ORDER-4711 1 1300 1500
INV-2026-12 1 900 250 BOX-42 2 300 1200
PAGES
