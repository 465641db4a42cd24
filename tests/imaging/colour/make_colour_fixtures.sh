#!/usr/bin/env bash
# Generates colour and grey pages with ImageMagick, netpbm and libtiff's tools, each with the
# reference decode as a binary PPM (<name>.ppm) written by ImageMagick.
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out"
cd "$out"

# An odd-sized colourful page, so that row padding and partial bytes are exercised.
convert rose: -resize 101x67! base.ppm
convert base.ppm -colors 16 ppm:c16.ppm
convert base.ppm -colors 4 ppm:c4.ppm
convert base.ppm -monochrome pbm:mono.pbm

for f in BMP2 BMP3; do
    convert base.ppm -type TrueColor "$f:bmp24_$f.bmp"
    convert base.ppm -type Palette "$f:bmp8_$f.bmp"
    convert base.ppm -colors 16 "$f:bmp4_$f.bmp"
    convert base.ppm -monochrome "$f:bmp1_$f.bmp"
done
convert base.ppm -type Palette -compress none BMP3:bmp8_plain.bmp
convert base.ppm -colors 16 -compress RLE BMP3:bmp4_rle.bmp

convert base.ppm gif_plain.gif
convert base.ppm -interlace GIF gif_interlaced.gif
convert base.ppm -colors 2 gif_two.gif
# The same image with its colour table moved from the screen to the image descriptor.
python3 - gif_plain.gif gif_local.gif <<'PY'
import sys
d = bytearray(open(sys.argv[1], 'rb').read())
flags = d[10]
assert flags & 0x80
size = 3 << ((flags & 7) + 1)
table = d[13:13 + size]
rest = d[13 + size:]
i = 0
while rest[i] == 0x21:  # skip extensions
    i += 2
    while rest[i]:
        i += rest[i] + 1
    i += 1
assert rest[i] == 0x2C
desc = rest[i:i + 10]
desc[9] = (desc[9] & 0x40) | 0x80 | (flags & 7)
out = d[:10] + bytes([flags & 0x70]) + d[11:13] + rest[:i] + desc + table + rest[i + 10:]
open(sys.argv[2], 'wb').write(out)
PY

ppmtopcx mono.pbm > pcx_mono.pcx 2>/dev/null
ppmtopcx c16.ppm > pcx_planes16.pcx 2>/dev/null
ppmtopcx -packed c16.ppm > pcx_packed16.pcx 2>/dev/null
ppmtopcx -packed c4.ppm > pcx_packed4.pcx 2>/dev/null
convert base.ppm -type Palette PCX:pcx_8.pcx
convert base.ppm -type TrueColor PCX:pcx_24.pcx

convert base.ppm -colorspace Gray -depth 8 -compress none tiff_grey.tif
tiffcp -B -r 5 tiff_grey.tif tiff_grey_strips_mm.tif
tiffcp -c packbits -r 7 tiff_grey.tif tiff_grey_packbits.tif
convert base.ppm -type TrueColor -depth 8 -compress none tiff_rgb.tif
tiffcp -B -r 9 tiff_rgb.tif tiff_rgb_strips_mm.tif
convert base.ppm -colorspace Gray -depth 8 -compress none -define quantum:polarity=min-is-white \
    tiff_grey_miniswhite.tif
convert base.ppm -type Palette -depth 8 -compress none tiff_palette.tif

for f in *.bmp *.gif *.pcx *.tif; do
    convert "$f" -depth 8 "ppm:${f%.*}.ppm"
done

# Bilevel pages for the grey rendering: white, black, a one-pixel checkerboard (8 black pixels
# in every 4 x 4 block), a black top-left quarter in one and in three strips, and pages wide enough for 1700 and 1712
# columns at a quarter.
bilevel() { convert -size "$1" "$2" -units PixelsPerInch -density 200 -monochrome -compress Group4 "$3"; }
bilevel 256x128 xc:white bilevel_white.tif
bilevel 256x128 xc:black bilevel_black.tif
bilevel 256x128 pattern:gray50 bilevel_half.tif
convert -size 256x128 xc:white -fill black -draw "rectangle 0,0 127,63" -units PixelsPerInch \
    -density 200 -monochrome -compress Group4 bilevel_quadrant.tif
tiffcp -c g4 -r 48 bilevel_quadrant.tif bilevel_quadrant_strips.tif
bilevel 6800x64 xc:white bilevel_6800.tif
bilevel 6848x64 xc:white bilevel_6848.tif

# JPEG pages: a wide colour page and a grey one.
convert -size 2000x1000 xc:red ppm:- | cjpeg > jpeg_wide.jpg
cjpeg -grayscale base.ppm > jpeg_grey.jpg

# JPEG in TIFF as libtiff writes it: one strip of an abbreviated stream, tables in JPEGTables.
tiffcp -c jpeg -r 67 tiff_rgb.tif tiff_jpeg_rgb.tif
tiffcp -c jpeg -r 67 tiff_grey.tif tiff_jpeg_grey.tif
tiffcp -c jpeg -r 16 tiff_rgb.tif tiff_jpeg_strips.tif
for f in tiff_jpeg_rgb tiff_jpeg_grey; do convert "$f.tif" -depth 8 "ppm:$f.ppm"; done

# ImageMagick shows monochrome PCX as 0 = white whatever the header palette says; netpbm's
# reader follows the palette, as ours does.
pcxtoppm pcx_mono.pcx > pcx_mono.ppm 2>/dev/null

# Forms the readers refuse.
tiffcp -c packbits tiff_rgb.tif tiff_rgb_packbits.tif
