#!/usr/bin/env bash
# Generates the page files of the imaging control tests with ImageMagick, libtiff's tools,
# netpbm and cjpeg: three distinct bilevel pages and multi-page TIFFs of them, a text-like page
# and a copy of it turned 3 degrees clockwise, grey and colour pages, and broken files.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
dpi=(-density 200 -units PixelsPerInch)

# Three bilevel pages, 320 x 240 at 200 dpi, each with its own marks.
for i in 1 2 3; do
    convert -size 320x240 xc:white -fill black \
        -draw "rectangle $((20 * i)),20 $((20 * i + 100)),$((40 + 10 * i))" \
        -draw "circle 160,160 $((170 + 10 * i)),170" -draw "point $((300 - i)),$((5 * i))" \
        "${dpi[@]}" pbm:page$i.pbm
    convert page$i.pbm "${dpi[@]}" -compress none page$i.tif
done
tiffcp -r 1000 -c g4 page1.tif page2.tif page3.tif three_g4.tif
tiffcp -r 1000 -B -c g4 page1.tif page2.tif page3.tif three_g4_big_endian.tif
tiffcp -r 1000 -c g4 page1.tif one_g4.tif

# A page of text lines made of word boxes (no fonts needed), 1000 x 1300 at 200 dpi.
RANDOM=4711
draw=()
for line in $(seq 0 27); do
    y=$((80 + line * 42))
    x=60
    while [ $x -lt 900 ]; do
        w=$((20 + RANDOM % 90))
        [ $((x + w)) -gt 940 ] && break
        draw+=(-draw "rectangle $x,$y $((x + w)),$((y + 14))")
        x=$((x + w + 12 + RANDOM % 10))
    done
done
convert -size 1000x1300 xc:white -fill black "${draw[@]}" "${dpi[@]}" pbm:text.pbm
convert text.pbm -background white -rotate 3 -gravity center -extent 1000x1300 \
    -threshold 50% "${dpi[@]}" pbm:text_skew3.pbm

# Grey and colour pages.
convert -size 200x150 gradient:white-black -colorspace Gray -depth 8 "${dpi[@]}" pgm:grey.pgm
cjpeg -grayscale -quality 90 grey.pgm >grey.jpg
convert -size 200x150 gradient:red-blue -depth 8 "${dpi[@]}" ppm:colour.ppm
cjpeg -quality 90 colour.ppm >colour.jpg
convert colour.ppm "${dpi[@]}" png:colour.png
convert grey.pgm "${dpi[@]}" png:grey.png

# Files that are not what their names say.
printf 'not an image\n' >notes.txt
printf 'not an image\n' >fake.tif
head -c 200 three_g4.tif >broken.tif
