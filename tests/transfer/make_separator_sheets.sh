#!/usr/bin/env bash
# Separator sheets for the separation tests: 1000-pixel-wide bilevel pages at 200 dpi carrying
# Code 39 symbols (zint), each of its own height so that a test can tell every page apart.
#   make_separator_sheets.sh OUTDIR  -> OUTDIR/sep-a.pbm (SEP-A, 701 rows), sep-b.pbm (SEP-B,
#   702), sep-ab.pbm (SEP-A and SEP-B, 703), abcd.pbm (ABCD, 704), sep-a-grey.jpg (SEP-A in grey
#   ink on grey paper, 705)
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

symbol() {  # symbol DATA
    zint -b 8 --notext --height=25 --scale=1 -d "$1" -o "$work/$1.png"
}

# sheet NAME HEIGHT DATA...: the symbols one below the other.
sheet() {
    local name=$1 height=$2
    shift 2
    local args=() y=150
    for data in "$@"; do
        symbol "$data"
        args+=("$work/$data.png" -geometry "+200+$y" -composite)
        y=$((y + 250))
    done
    convert -size "1000x$height" xc:white "${args[@]}" -colorspace gray -threshold 50% \
        -density 200 "$out/$name.pbm"
}

sheet sep-a 701 SEP-A
sheet sep-b 702 SEP-B
sheet sep-ab 703 SEP-B SEP-A
sheet abcd 704 ABCD
convert -size 1000x705 xc:'#d8d8d8' \( "$work/SEP-A.png" -fill '#303030' -opaque black \) \
    -geometry +200+150 -composite -colorspace gray -density 200 -quality 90 "$out/sep-a-grey.jpg"
