#!/usr/bin/env bash
# Generates pages with real zint symbols (Code 39, Code 128, EAN-13, UPC-A, interleaved 2 of 5,
# Codabar, Code 93; upright and upside down) beside text, at 200 and 300 dpi, as a Group 4 page
# and as the same picture in the colour and grey formats: grey and colour JPEG (cjpeg), 24-bit
# BMP, GIF, 8-bit PCX and 24-bit TIFF. Colour pages print the symbols in dark blue on cream.
#   make_colour_barcode_pages.sh OUTDIR
# OUTDIR/<dpi>-<format>.<ext>; OUTDIR/<dpi>.expected lists the texts, one a line.
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# zint type | data | text the search returns
symbols=(
    "8|LABEL-0001|*LABEL-0001*"
    "20|Scan 2024 ABC|*Scan 2024 ABC*"
    "13|590123412345|*5901234123457*"
    "34|03600029145|*036000291452*"
    "3|0123456789|*0123456789*"
    "18|A40156B|*A40156B*"
    "25|CODE 93|*CODE 93*"
)

page() {
    local dpi=$1 width=$2 height=$3 ppm=$4
    local args=() y=60 n=0
    : > "$out/$dpi.expected"
    for rotation in 0 180; do
        for entry in "${symbols[@]}"; do
            IFS='|' read -r type data text <<< "$entry"
            n=$((n + 1))
            [ "$rotation" = 180 ] && [ $((n % 2)) = 1 ] && continue
            local sym=$work/$dpi-$n.png extra=()
            [ "$type" = 13 ] || [ "$type" = 34 ] && extra=(--guarddescent=0)
            zint -b "$type" --notext --height=10 "${extra[@]}" --scale="$ppm" -d "$data" -o "$sym"
            convert "$sym" -rotate "$rotation" "$sym"
            local h
            h=$(identify -format '%h' "$sym")
            args+=("$sym" -geometry "+$((width / 10))+$y" -composite)
            echo "$text" >> "$out/$dpi.expected"
            # Farther apart than the zone height, so that no symbol repeats the one above.
            y=$((y + h + 110))
        done
    done
    convert -size "${width}x${height}" xc:white "${args[@]}" -font DejaVu-Sans \
        -pointsize $((dpi / 6)) -annotate "+$((width / 10))+$((height - dpi / 2))" \
        'Invoice 4711 - delivery note, page 1 of 2' -colorspace gray -threshold 50% \
        "$work/$dpi.pbm"
    pnmtotiff -g4 -rowsperstrip 100000 -xresolution "$dpi" -yresolution "$dpi" \
        "$work/$dpi.pbm" > "$out/$dpi-g4.tif"
    convert "$work/$dpi.pbm" -colorspace gray -depth 8 "pgm:$work/$dpi.pgm"
    convert "$work/$dpi.pbm" +level-colors 'rgb(20,30,110),rgb(250,245,200)' -depth 8 \
        "ppm:$work/$dpi.ppm"
    cjpeg -grayscale -quality 95 "$work/$dpi.pgm" > "$out/$dpi-grey.jpg"
    cjpeg -quality 95 -sample 1x1 "$work/$dpi.ppm" > "$out/$dpi-colour.jpg"
    convert "$work/$dpi.ppm" -type TrueColor "BMP3:$out/$dpi-colour.bmp"
    convert "$work/$dpi.ppm" "$out/$dpi-colour.gif"
    convert "$work/$dpi.ppm" -type Palette "PCX:$out/$dpi-colour.pcx"
    convert "$work/$dpi.ppm" -type TrueColor -depth 8 -compress none -units PixelsPerInch \
        -density "$dpi" "$out/$dpi-colour.tif"
}

# A5 pages, three pixels a module: what the default second thresholds read.
page 200 1169 1654 1.5
page 300 1748 2480 1.5
