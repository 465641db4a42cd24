#!/usr/bin/env bash
# Generates the image window's pages with real tools (ImageMagick, libtiff's tools, cjpeg) and
# the reference decode of each as pixdoc-decode writes it (<name>.pbm or <name>.ppm), pages as
# they look.
#   make_window_fixtures.sh OUTDIR     (PIXDOC_BIN: the folder of pixdoc-decode)
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out"
cd "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
font=()
convert -list font 2>/dev/null | grep -q "Font: DejaVu-Sans$" && font=(-font DejaVu-Sans)

# An A4 page at 100 dpi: text lines, a frame, thin rules and a solid block, so that scaling,
# thin runs and the edges all show.
text=()
for row in $(seq 0 24); do
    text+=(-annotate "+60+$((90 + row * 40))" "Riga $row: fattura 4711-$row del 12/03, importo 1.234,56")
done
convert -size 827x1169 xc:white -units PixelsPerInch -density 100 "${font[@]}" -pointsize 17 \
    -fill black "${text[@]}" -fill none -stroke black -strokewidth 1 \
    -draw "rectangle 20,20 806,1148" -draw "line 40,1100 780,1100" \
    -fill black -draw "rectangle 600,1000 700,1060" -monochrome "$work/page.pbm"
# Written min-is-white by Group 4 and min-is-black (a set bit is white) uncompressed.
convert "$work/page.pbm" -units PixelsPerInch -density 100 -compress Group4 "$work/page.tif"
convert "$work/page.pbm" -units PixelsPerInch -density 100 -compress none "$work/negative.tif"
tiffcp -s -r 100000 -c g4 "$work/page.tif" page_g4.tif
tiffcp -s -r 64 -c g4 "$work/page.tif" page_strips.tif
tiffcp -s -r 100000 -c g4 "$work/negative.tif" page_negative.tif
# The same page to be shown turned (TIFF Orientation 6, 3, 8).
for o in 6 3 8; do
    cp page_g4.tif "page_o$o.tif"
    tiffset -s 274 "$o" "page_o$o.tif"
done

# Unequal resolutions, and five pages in one file.
convert -size 400x300 xc:white -units PixelsPerInch -density 200x100 -fill black \
    -draw "rectangle 100,100 200,200" -monochrome -compress Group4 dpi_200x100.tif
tiffcp page_g4.tif dpi_200x100.tif page_g4.tif dpi_200x100.tif page_g4.tif scan.tif

# Colour and grey pages of odd sizes.
convert rose: -resize 301x203! "$work/colour.ppm"
cjpeg -quality 90 "$work/colour.ppm" > colour.jpg
cjpeg -grayscale "$work/colour.ppm" > grey.jpg
convert "$work/colour.ppm" -colors 64 colour.gif
convert "$work/colour.ppm" -type TrueColor -depth 8 -compress none colour.tif

# A GIF whose coded data is all ones: the first code is beyond the table.
python3 - colour.gif broken.gif <<'PY'
import sys
d = bytearray(open(sys.argv[1], 'rb').read())
flags = d[10]
i = 13 + (3 << ((flags & 7) + 1) if flags & 0x80 else 0)
while d[i] == 0x21:  # extensions
    i += 2
    while d[i]:
        i += d[i] + 1
    i += 1
assert d[i] == 0x2C
local = d[i + 9]
i += 10 + (3 << ((local & 7) + 1) if local & 0x80 else 0)
i += 1  # LZW minimum code size
while d[i]:
    n = d[i]
    d[i + 1:i + 1 + n] = b'\xff' * n
    i += n + 1
open(sys.argv[2], 'wb').write(d)
PY
echo "not an image at all" > not_image.tif

for f in page_g4 page_negative dpi_200x100; do "$PIXDOC_BIN/pixdoc-decode" "$f.tif" "$f.pbm"; done
for f in colour.jpg grey.jpg colour.gif colour.tif; do
    "$PIXDOC_BIN/pixdoc-decode" "$f" "${f%.*}_${f##*.}.ppm"
done
