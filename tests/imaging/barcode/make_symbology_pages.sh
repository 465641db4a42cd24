#!/usr/bin/env bash
# Generates A4 Group 4 pages (200 and 300 dpi) with one real zint symbol of each symbology
# other than Code 39, upright in the top half and upside down in the bottom half, one page per
# module width (1 to 4 pixels), plus pages of text only.
#   make_symbology_pages.sh OUTDIR
# OUTDIR/expected.txt, tab-separated: page-file  pixels-per-module  symbology-bit  text
#   left  width  top  upside-down   (the symbol's black bounding box in page pixels)
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expected=$out/expected.txt
: > "$expected"

# bit | zint type | data | expected text
symbols=(
    "2|3|0123456789|*0123456789*"
    "8|18|A40156B|*A40156B*"
    "4|20|Scan 2024 ABC|Scan 2024 ABC"
    "64|25|CODE 93-$/+%.|*CODE 93-$/+%.*"
    "256|25|Type2 lower|*Type2 lower*"
    "16|34|03600029145|*036000291452*"
    "32|13|590123412345|*5901234123457*"
    "1024|13|9638507|*96385074*"
    "128|4|123456789012345|*123456789012345*"
)

page() {
    local dpi=$1 width=$2 height=$3 ppm=$4
    local name=a4-$dpi-${ppm}px
    local args=() y=120 n=0
    for rotation in 0 180; do
        for entry in "${symbols[@]}"; do
            IFS='|' read -r bit type data text <<< "$entry"
            n=$((n + 1))
            local sym=$work/$name-$n.png extra=()
            [ "$type" = 13 ] || [ "$type" = 34 ] && extra=(--guarddescent=0)
            zint -b "$type" --notext --height=12 "${extra[@]}" \
                --scale="$(echo "scale=1; $ppm / 2" | bc)" -d "$data" -o "$sym"
            convert "$sym" -rotate "$rotation" "$sym"
            read -r w h bx by < <(convert "$sym" -bordercolor white -border 1 -trim \
                -format '%w %h %X %Y\n' info:)
            local x=100
            printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name.tif" "$ppm" "$bit" "$text" \
                "$((x + bx - 1))" "$w" "$((y + by - 1))" "$([ "$rotation" = 180 ] && echo 1 || echo 0)" \
                >> "$expected"
            args+=("$sym" -geometry "+$x+$y" -composite)
            # More than the reader control's zone height (100 lines) apart, so that no symbol
            # is taken for a repeat of the one above it.
            y=$((y + (h + 20 > 110 ? h + 20 : 110)))
        done
    done
    convert -size "${width}x${height}" xc:white "${args[@]}" -colorspace gray -threshold 50% \
        "$work/$name.pbm"
    pnmtotiff -g4 -rowsperstrip 100000 -xresolution "$dpi" -yresolution "$dpi" \
        "$work/$name.pbm" > "$out/$name.tif"
}

# Text only: nothing on these pages may be read with the whole mask.
text_page() {
    local dpi=$1 width=$2 height=$3
    local args=() y=$((dpi / 2))
    for size in 8 10 12 16 24 36; do
        for line in 'Invoice 4711 - delivery note, page 1 of 2 |||| IIII llll 1111' \
            'Total amount due: 1,234.56 EUR (VAT incl.) Mmmm Wwww ||| ### ===' \
            'ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789'; do
            args+=(-pointsize "$((size * dpi / 72))" -annotate "+$((dpi / 3))+$y" "$line")
            y=$((y + size * dpi / 50))
        done
    done
    convert -size "${width}x${height}" xc:white -font DejaVu-Sans "${args[@]}" \
        -colorspace gray -threshold 50% "$work/text-$dpi.pbm"
    pnmtotiff -g4 -rowsperstrip 100000 -xresolution "$dpi" -yresolution "$dpi" \
        "$work/text-$dpi.pbm" > "$out/text-$dpi.tif"
}

for ppm in 1 2 3 4; do
    page 200 1654 2339 "$ppm"
    page 300 2480 3508 "$ppm"
done
text_page 200 1654 2339
text_page 300 2480 3508
