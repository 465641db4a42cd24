#!/usr/bin/env bash
# Makes the JPEG decoder's fixtures in $1: real-looking pictures (ImageMagick plasma, gradients
# and text) coded by cjpeg in the codings the decoder must read, and djpeg's decoding of each
# (fast integer IDCT, no fancy up-sampling) as the reference.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"

font=()
convert -list font 2>/dev/null | grep -q "Font: DejaVu-Sans$" && font=(-font DejaVu-Sans)

# A colour picture with smooth areas, hard edges and text; odd sizes leave partial MCUs.
convert -size 601x397 -seed 7 plasma:orange-navy \
    -fill white -draw "rectangle 40,40 260,120" \
    -fill black "${font[@]}" -pointsize 28 -annotate +50+95 'Fattura 4711' \
    -fill red -draw "circle 450,250 520,300" photo.ppm
convert -size 333x251 gradient:yellow-blue -seed 11 plasma: -compose multiply -composite \
    -fill black "${font[@]}" -pointsize 20 -annotate +10+40 'Scantora' small.ppm
convert photo.ppm -colorspace Gray grey.pgm

code() {  # name source cjpeg-options...
    local name=$1 src=$2
    shift 2
    cjpeg "$@" -outfile "$name.jpg" "$src"
    djpeg -dct fast -nosmooth -pnm -outfile "$name.ref" "$name.jpg"
}

code baseline444_q75 photo.ppm -quality 75 -sample 1x1
code baseline422_q85 photo.ppm -quality 85 -sample 2x1
code baseline420_q90 photo.ppm -quality 90 -sample 2x2
code baseline440_q80 small.ppm -quality 80 -sample 1x2
code baseline411_q70 small.ppm -quality 70 -sample 4x1
code sampling3x1 small.ppm -quality 80 -sample 3x1
code baseline420_q30 photo.ppm -quality 30
code baseline420_q100 small.ppm -quality 100
code grey_q85 grey.pgm -quality 85
code grey_photo photo.ppm -grayscale -quality 60
code optimised420 photo.ppm -quality 85 -optimize
code restart_rows photo.ppm -quality 85 -restart 1
code restart_blocks small.ppm -quality 75 -sample 1x1 -restart 7B
code progressive420 photo.ppm -quality 85 -progressive
code progressive444 small.ppm -quality 92 -sample 1x1 -progressive
code progressive_grey grey.pgm -quality 75 -progressive
code progressive_restart photo.ppm -quality 80 -progressive -restart 3B

# One component per scan, sequential: the multi-scan variant.
printf '0;\n1;\n2;\n' > separate.scans
code multiscan photo.ppm -quality 80 -scans separate.scans

# Refused codings.
cjpeg -arithmetic -outfile arithmetic.jpg photo.ppm
cjpeg -arithmetic -progressive -outfile arithmetic_progressive.jpg small.ppm
