#!/usr/bin/env bash
# Generates the TIFF (and a few colour) files of the header tests with libtiff's tools and
# ImageMagick: one small bilevel page in every coding, fill order, byte order and strip layout.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"

# A text-like bilevel page, 200 dpi, 416 x 300 pixels.
convert -size 416x300 xc:white -fill black \
    -draw "rectangle 20,20 200,40" -draw "rectangle 20,60 380,64" -draw "circle 300,200 340,240" \
    -density 200 -units PixelsPerInch pbm:page.pbm
convert page.pbm -density 200 -units PixelsPerInch -compress none none.tif
# One strip per page unless the name says otherwise.
single=(-r 1000)
tiffcp "${single[@]}" -c g4 none.tif g4.tif
tiffcp "${single[@]}" -c g3:1d none.tif g3_1d.tif
tiffcp "${single[@]}" -c g3:2d none.tif g3_2d.tif
tiffcp "${single[@]}" -c packbits none.tif packbits.tif
tiffcp "${single[@]}" -f lsb2msb -c g4 none.tif lsb.tif
tiffcp "${single[@]}" -B -c g4 none.tif big_endian.tif
tiffcp -r 100 -c g4 none.tif multi_strip.tif
tiffcp "${single[@]}" g4.tif g3_2d.tif packbits.tif multi_page.tif
tiffcp "${single[@]}" -c g4 none.tif oriented.tif
tiffset -s 274 6 oriented.tif

# Colour and grey pages for the colour header probe.
convert -size 120x80 gradient:red-blue -depth 8 -density 150 -units PixelsPerInch BMP3:colour.bmp
convert -size 120x80 gradient:red-blue -density 150 -units PixelsPerInch -quality 90 colour.jpg
convert -size 120x80 gradient:white-black -colorspace Gray -quality 90 grey.jpg
convert -size 120x80 gradient:red-blue -depth 8 -compress none rgb.tif
convert -size 120x80 gradient:red-blue -depth 8 -compress jpeg -quality 90 jpeg_in.tif
convert -size 16x9000 xc:gray50 -type TrueColor -quality 50 tall.jpg
# A colour TIFF of three pages, each of its own size and form: RGB, grey, and RGB turned by
# its orientation tag (6: a quarter turn clockwise to show it upright).
convert -size 64x48 gradient:white-black -colorspace Gray -depth 8 -compress none grey.tif
tiffcp rgb.tif oriented_rgb.tif
tiffset -s 274 6 oriented_rgb.tif
tiffcp rgb.tif grey.tif oriented_rgb.tif colour_pages.tif
