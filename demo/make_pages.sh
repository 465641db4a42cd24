#!/usr/bin/env bash
# Makes the demo's feeder load, kept in demo/pages: A4 pages at 200 dpi as a copier would drop
# them into a folder, in feeding order. Bilevel pages are Group 4 TIFF, grey and colour pages
# JPEG; a Code 39 sheet "NEXTDOC" (zint) between documents splits the load into three of them,
# and three pages carry Code 39 labels that reach the barcode export.
#   demo/make_pages.sh [OUTDIR]      (default demo/pages; run again only to change the pages)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/pages}
mkdir -p "$out"
rm -f "$out"/*.tif "$out"/*.jpg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

readonly width=1654 height=2339 dpi=200 # A4
font=()
convert -list font 2>/dev/null | grep -q "Font: DejaVu-Sans$" && font=(-font DejaVu-Sans)

# symbol DATA: a Code 39 symbol of 2-pixel modules, 0.6 inch high.
symbol() {
    zint -b 8 --notext --height=60 --scale=1 -d "$1" -o "$work/$1.png"
}

# text_page NAME TITLE [LABEL]: a page of text lines with the title on top and, when given, a
# Code 39 label in its top right corner; left as a PNG for the writers below.
text_page() {
    local name=$1 title=$2 label=${3:-}
    local lines=()
    for row in $(seq 0 24); do
        lines+=(-annotate "+140+$((420 + row * 64))"
            "$title, line $((row + 1)): Scantora demo text, 12/03/2026, amount 1.234,56 EUR")
    done
    local args=()
    if [ -n "$label" ]; then
        symbol "$label"
        args=("$work/$label.png" -geometry +1000+120 -composite)
    fi
    convert -size "${width}x$height" xc:white "${args[@]}" "${font[@]}" -fill black \
        -pointsize 48 -annotate +140+260 "$title" -pointsize 22 "${lines[@]}" \
        "$work/$name.png"
}

# bilevel NAME PNG...: a Group 4 TIFF of one page per PNG.
bilevel() {
    local name=$1
    shift
    convert "$@" -colorspace gray -threshold 50% -units PixelsPerInch -density "$dpi" \
        -compress Group4 "$work/$name.tif"
    tiffcp -s -r 100000 -c g4 "$work/$name.tif" "$out/$name.tif"
}

symbol NEXTDOC
convert -size "${width}x$height" xc:white "$work/NEXTDOC.png" -geometry +500+900 -composite \
    "${font[@]}" -fill black -pointsize 40 -annotate +500+860 "Separator sheet" "$work/sep.png"

text_page invoice "Invoice 4711" INV4711
text_page letter "Covering letter"
text_page contract1 "Contract 0815, page 1" CTR0815
text_page contract2 "Contract 0815, page 2"
text_page photo "Site photo"
text_page receipt "Receipt"

bilevel 01-invoice "$work/invoice.png"
# Grey and colour pages at half the resolution, as copiers send them.
convert "$work/letter.png" -colorspace gray -resize 50% -units PixelsPerInch \
    -density "$((dpi / 2))" -quality 60 "$out/02-letter.jpg"
bilevel 03-separator "$work/sep.png"
bilevel 04-contract "$work/contract1.png" "$work/contract2.png"
bilevel 05-separator "$work/sep.png"
symbol IMG0042
convert "$work/photo.png" -type TrueColor -fill '#4a7fc0' -draw 'rectangle 140,2000 1514,2200' \
    -resize 50% "$work/IMG0042.png" -geometry +500+40 -composite -units PixelsPerInch \
    -density "$((dpi / 2))" -quality 60 "$out/06-photo.jpg"
bilevel 07-receipt "$work/receipt.png"
