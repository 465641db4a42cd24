#!/usr/bin/env bash
# pixdoc-decode on colour and grey pages: binary PPM at the page's own size, equal to
# ImageMagick's decode for lossless containers, every page of a colour TIFF; a damaged page is
# still written but exits 1.
#   pixdoc_decode_colour_test.sh PIXDOC_DECODE WORK_DIR
set -uo pipefail
tool=$1
work=$2
. "$(dirname "$0")/checks.sh"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

convert rose: -resize 61x43! base.ppm
convert base.ppm BMP3:page.bmp
convert base.ppm -interlace GIF page.gif
convert base.ppm -colorspace Gray -depth 8 -compress none grey.tif
convert base.ppm -type TrueColor PCX:page.pcx
for f in page.bmp page.gif grey.tif page.pcx; do
    convert "$f" -depth 8 "ppm:want.ppm"
    "$tool" "$f" got.ppm || fail "$f: exit $?"
    cmp -s got.ppm want.ppm || fail "$f: pixels differ from ImageMagick"
done

# Every page of a colour TIFF, each of its own size and form.
convert base.ppm -depth 8 -compress none rgb.tif
convert rose: -resize 40x30! -colorspace Gray -depth 8 -compress none small_grey.tif
tiffcp rgb.tif small_grey.tif grey.tif pages.tif
for page in 1 2 3; do
    convert "pages.tif[$((page - 1))]" -depth 8 "ppm:want.ppm"
    "$tool" --page "$page" pages.tif got.ppm || fail "pages.tif page $page: exit $?"
    cmp -s got.ppm want.ppm || fail "pages.tif page $page: pixels differ from ImageMagick"
done

# Half a PCX file: the top rows are written, the rest stays white, and the exit is 1.
head -c "$(($(stat -c %s page.pcx) / 2))" page.pcx > half.pcx
"$tool" half.pcx half.ppm 2> err.txt
[ $? -eq 1 ] || fail "damaged page: exit status"
grep -q "Unexpected end of image file in middle of data." err.txt || fail "damaged page: message"
[ "$(head -c 2 half.ppm)" = "P6" ] || fail "damaged page: not written"
[ "$(tail -c 3 half.ppm | od -An -tu1 | tr -s ' ')" = " 255 255 255" ] || fail "damaged page: bottom"

finish "pixdoc-decode colour"
