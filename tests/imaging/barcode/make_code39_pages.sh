#!/usr/bin/env bash
# Generates A4 test pages with real Code 39 symbols (zint) beside text, in several bilevel
# codings, and the reads a search must return from each page.
#   make_code39_pages.sh OUTDIR
# OUTDIR/expected.txt, one line per expected read, tab-separated:
#   page-file  direction  text  start-column  end-column  line  reversed
# Lines are 1-based page rows for direction 0, 0-based area columns for direction 1.
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expected=$out/expected.txt
: > "$expected"

round16() { echo $(( ($1 + 15) / 16 * 16 )); }

# page NAME DPI WIDTH HEIGHT DIRECTION then groups of: DATA PIXELS_PER_MODULE ROTATION X Y
page() {
    local name=$1 dpi=$2 width=$3 height=$4 direction=$5
    shift 5
    local args=() n=0
    while [ $# -gt 0 ]; do
        local data=$1 ppm=$2 rotation=$3 x=$4 y=$5
        shift 5
        n=$((n + 1))
        local sym=$work/$name-$n.png
        # zint draws 2 pixels per module at scale 1; 20 modules high.
        zint -b 8 --notext --height=20 --scale="$(echo "scale=1; $ppm / 2" | bc)" -d "$data" -o "$sym"
        convert "$sym" -rotate "$rotation" "$sym"
        read -r w h bx by < <(convert "$sym" -bordercolor white -border 1 -trim -format '%w %h %X %Y\n' info:)
        bx=$((bx - 1)) by=$((by - 1))
        local left=$((x + bx)) top=$((y + by))
        local start end line reversed
        if [ "$direction" = 1 ]; then
            local area_height
            area_height=$(round16 "$height")
            line=$left
            start=$((area_height - 1 - (top + h - 1)))
            end=$((area_height - 1 - top))
            reversed=$([ "$rotation" = 90 ] && echo 1 || echo 0)
        else
            line=$((top + 1))
            start=$left
            end=$((left + w - 1))
            reversed=$([ "$rotation" = 180 ] && echo 1 || echo 0)
        fi
        printf '%s\t%s\t*%s*\t%s\t%s\t%s\t%s\n' "$name" "$direction" "$data" "$start" "$end" \
            "$line" "$reversed" >> "$work/$name.expected"
        args+=("$sym" -geometry "+$x+$y" -composite)
    done
    convert -size "${width}x${height}" xc:white "${args[@]}" \
        -font DejaVu-Sans -pointsize $((dpi / 8)) \
        -annotate "+$((width / 10))+$((height / 2 + 300))" 'Invoice 4711 - delivery note, page 1 of 2' \
        -annotate "+$((width / 10))+$((height / 2 + 400))" 'Total amount due: 1,234.56 EUR (VAT incl.)' \
        -colorspace gray -threshold 50% "$work/$name.pbm"
}

# encode NAME CODING-NAME pnmtotiff-options...
encode() {
    local name=$1 coding=$2 dpi=$3
    shift 3
    local file=$name-$coding.tif
    pnmtotiff "$@" -xresolution "$dpi" -yresolution "$dpi" "$work/$name.pbm" > "$work/$file"
    mv "$work/$file" "$out/$file"
    sed "s/^$name\t/$file\t/" "$work/$name.expected" >> "$expected"
}

# PackBits, raw rows and least-significant-bit-first Group 4: copied from the Group 4 page so
# that a set bit stays black and the picture stays the same.
recode() {
    local name=$1 coding=$2 tiffcp_coding=$3
    # shellcheck disable=SC2086 # the coding may carry a fill order option
    tiffcp -c $tiffcp_coding -r 100000 "$out/$name-g4.tif" "$out/$name-$coding.tif"
    sed "s/^$name\t/$name-$coding.tif\t/" "$work/$name.expected" >> "$expected"
}

single=(-rowsperstrip 100000)

# 300 dpi, two labels upright beside text, in every coding.
page a4-300-upright 300 2480 3508 0 \
    LABEL-0001 2 0 300 400 \
    "ORDER 77/B" 4 0 1200 1500
encode a4-300-upright g4 300 -g4 "${single[@]}"
encode a4-300-upright g3 300 -g3 "${single[@]}"
encode a4-300-upright g3-2d 300 -g3 -2d "${single[@]}"
encode a4-300-upright g4-strips 300 -g4 -rowsperstrip 256
recode a4-300-upright packbits packbits
recode a4-300-upright raw none
recode a4-300-upright g4-lsb "g4 -f lsb2msb"

# 300 dpi, the same labels upside down, and two labels side by side on the same rows.
page a4-300-upside-down 300 2480 3508 0 \
    LABEL-0001 2 180 300 400 \
    "ORDER 77/B" 4 180 1200 1500 \
    SIDE-A 3 0 200 2600 \
    SIDE-B 3 180 1400 2600
encode a4-300-upside-down g4 300 -g4 "${single[@]}"

# 200 dpi, one to four pixels per module.
page a4-200-modules 200 1654 2339 0 \
    ONE-PIXEL 1 0 200 200 \
    TWO-PIXELS 2 0 200 700 \
    THREE-PX 3 180 200 1200 \
    FOUR-PX 4 0 200 1700
encode a4-200-modules g4 200 -g4 "${single[@]}"
encode a4-200-modules g3 200 -g3 "${single[@]}"

# 300 dpi, labels turned a quarter either way, for the turned search (direction 1).
page a4-300-turned 300 2480 3508 1 \
    TURN-CW 3 90 500 600 \
    TURN-CCW 2 270 1500 1800
encode a4-300-turned g4 300 -g4 "${single[@]}"

# 200 dpi, short labels for the result filter: "1" and "Q" agree on five bits; "ABC" is one
# character short of the reader control's minimum length.
page a4-200-short 200 1654 2339 0 \
    1 2 0 200 300 \
    Q 2 0 800 900 \
    ABC 2 0 200 1500 \
    ABCD 2 0 800 1500
encode a4-200-short g4 200 -g4 "${single[@]}"

# A colour page: the bilevel search refuses it.
convert -size 320x200 xc:skyblue -fill red -draw 'rectangle 20,20 120,120' -type truecolor \
    "BMP3:$out/colour.bmp"


# Two pages in one file: the upright page, then the upside-down one.
tiffcp "$out/a4-300-upright-g4.tif" "$out/a4-300-upside-down-g4.tif" "$out/two-pages-g4.tif"

# A bilevel page wider than the line decoder takes (30000 columns): recognised, not decodable.
{
    printf 'P4\n30016 16\n'
    head -c $((30016 / 8 * 16)) /dev/zero
} > "$work/wide.pbm"
pnmtotiff -g4 "$work/wide.pbm" > "$out/too-wide-g4.tif"
