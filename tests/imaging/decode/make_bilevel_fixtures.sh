#!/usr/bin/env bash
# Generates bilevel TIFF fixtures with real tools: pages rendered by ImageMagick (text) and zint
# (barcodes), then coded by libtiff's tiffcp in every coding the decoder reads.
#   make_bilevel_fixtures.sh OUTDIR
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

text_page() {  # name width height dpi pointsize
    local lines=()
    for i in $(seq 1 14); do
        lines+=(-annotate "+120+$((150 + i * $5 * 3 / 2))"
                "Line $i: The quick brown fox jumps over the lazy dog 0123456789 ,.;:!?")
    done
    convert -size "$2x$3" xc:white -units PixelsPerInch -density "$4" -font DejaVu-Sans \
        -pointsize "$5" -fill black "${lines[@]}" -draw "rectangle 100,$(($3 - 400)) 900,$(($3 - 380))" \
        -monochrome "$work/$1.pbm"
    convert "$work/$1.pbm" "$work/$1.tif"
}

barcode_page() {  # name dpi: a Code 128 and a Code 39 symbol composed on an A4 page
    zint -b 20 --height=60 --scale=3 -d "PIXDOC-128-TEST" -o "$work/c128.png" >/dev/null
    zint -b 8 --height=60 --scale=3 -d "CODE39 TEST" -o "$work/c39.png" >/dev/null
    convert -size 1654x2339 xc:white -units PixelsPerInch -density "$2" \
        "$work/c128.png" -geometry +200+300 -composite \
        "$work/c39.png" -geometry +250+1200 -composite \
        "$work/c39.png" -rotate 0 -geometry +900+1900 -composite \
        -monochrome "$work/$1.pbm"
    convert "$work/$1.pbm" "$work/$1.tif"
}

# Every run length of both colours: row i holds white i, black 2600 - i, white 100.
runs_page() {
    { echo P1; echo 2700 2601;
      for ((i = 0; i < 2601; i++)); do echo "$i"; done |
        awk '{ printf "%s%s%s\n", substr(Z, 1, $1), substr(O, 1, 2600 - $1), substr(Z, 1, 100) }
             BEGIN { for (k = 0; k < 2700; k++) { Z = Z "0"; O = O "1" } }'; } > "$work/runs.pbm"
    convert "$work/runs.pbm" "$work/runs.tif"
}

text_page text300 2480 3508 300 40
text_page text200 1654 2339 200 28
barcode_page barcode200 200
runs_page

for page in text300 text200 barcode200 runs; do
    src=$work/$page.tif
    # One strip per page (rows per strip = height), both byte orders, both fill orders.
    tiffcp -s -r 100000 -c g4 "$src" "${page}_g4.tif"
    tiffcp -s -r 100000 -c g3:1d "$src" "${page}_g3_1d.tif"
    tiffcp -s -r 100000 -c g3:2d "$src" "${page}_g3_2d.tif"
    tiffcp -s -r 100000 -c g3:2d:fill "$src" "${page}_g3_2d_fill.tif"
    tiffcp -s -r 100000 -c packbits "$src" "${page}_packbits.tif"
    tiffcp -s -r 100000 -c none "$src" "${page}_none.tif"
    tiffcp -s -r 100000 -f lsb2msb -c g4 "$src" "${page}_g4_lsb.tif"
    tiffcp -s -r 100000 -B -c g4 "$src" "${page}_g4_be.tif"
done
# Several strips.
tiffcp -s -r 64 -c g4 "$work/text300.tif" text300_g4_strips.tif
tiffcp -s -r 100 -c g3:2d "$work/text200.tif" text200_g3_2d_strips.tif
tiffcp -s -r 37 -c packbits "$work/barcode200.tif" barcode200_packbits_strips.tif
# Several pages.
tiffcp -c g4 "$work/text200.tif" "$work/barcode200.tif" "$work/text300.tif" multi_g4.tif
# Twins: the same pictures stored minimum-is-white and minimum-is-black (inverted bits).
for page in text200 barcode200; do
    for polarity in min-is-white min-is-black; do
        convert "$work/$page.pbm" -define quantum:polarity=$polarity -compress none \
            "$work/${page}_$polarity.tif"
    done
done
tiffcp -s -r 100000 -c g4 "$work/text200_min-is-white.tif" text200_g4_miniswhite.tif
tiffcp -s -r 100000 -c g4 "$work/text200_min-is-black.tif" text200_g4_minisblack.tif
tiffcp -s -r 100000 -c g3:2d "$work/barcode200_min-is-white.tif" barcode200_g3_2d_miniswhite.tif
tiffcp -s -r 100000 -c g3:2d "$work/barcode200_min-is-black.tif" barcode200_g3_2d_minisblack.tif
# The pictures themselves, for the writer's round trips.
for page in text300 text200 barcode200 runs; do
    convert "$work/$page.pbm" "$page.pbm"  # binary PBM
done
# A colour page (written as P6 by the colour path).
convert -size 64x48 xc:red colour.jpg
