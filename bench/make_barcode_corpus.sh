#!/usr/bin/env bash
# A corpus of document pages for comparing barcode searches: every linear symbology zint makes
# that the search reads, at 1 to 4 pixels per module, at 200 and 300 dpi and fax resolution,
# upright, upside down and turned a quarter, beside text, three to a page, skewed, blurred,
# thickened, thinned and speckled, stored in every bilevel TIFF coding and as JPEG, GIF and BMP;
# and pages of text, tables and noise with no barcode.
#   make_barcode_corpus.sh OUTDIR [SYMBOLOGY...]
# Writes OUTDIR/pages.txt, one line a page: name|file|direction|symbology|labels (labels separated
# by ";": the data each symbol carries, as a reader should report it).
set -euo pipefail
out=$1
shift
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
manifest=$out/pages.txt
: > "$manifest"

# zint type | symbology name of the manifest
symbologies=("${@:-code39 itf code128 codabar upca ean13 ean8 code93 iata}")
read -r -a symbologies <<< "${symbologies[*]}"
declare -A zint_type=([code39]=8 [itf]=3 [code128]=20 [codabar]=18 [upca]=34 [ean13]=13
                      [ean8]=13 [code93]=25 [iata]=4)

# The GS1 check digit of a digit string.
check_digit() {
    awk -v d="$1" 'BEGIN { n = length(d); s = 0
        for (i = n; i >= 1; i--) s += substr(d, i, 1) * ((n - i) % 2 == 0 ? 3 : 1)
        print (10 - s % 10) % 10 }'
}

# Sets data (what zint encodes) and label (what a reader reports) for symbol k of page n.
symbol_data() {
    local s=$1 n=$2 k=$3 d
    case $s in
    code39) data=$(printf 'DOC%03d-%d' "$n" "$k"); label=$data ;;
    itf) data=$(printf '%08d%02d' "$((n * 7919 % 100000000))" "$k"); label=$data ;;
    code128) data=$(printf 'Inv-%d/%db' "$n" "$k"); label=$data ;;
    codabar) label=$(printf '%05d%d' "$n" "$k"); data="A${label}B" ;;
    upca) d=$(printf '7%08d%02d' "$n" "$k"); data=$d; label=$d$(check_digit "$d") ;;
    ean13) d=$(printf '4%09d%02d' "$n" "$k"); data=$d; label=$d$(check_digit "$d") ;;
    ean8) d=$(printf '5%04d%02d' "$n" "$k"); data=$d; label=$d$(check_digit "$d") ;;
    code93) data=$(printf 'C93-%d-%d' "$n" "$k"); label=$data ;;
    iata) data=$(printf '%013d%02d' "$n" "$k"); label=$data ;;  # the reader takes 15 digits
    esac
}

# Page geometry by resolution: width height density.
geometry() {
    case $1 in
    300) echo "2480 3508 300x300" ;;
    200) echo "1654 2339 200x200" ;;
    fax) echo "1728 2200 204x196" ;;
    esac
}

line_of_text() {
    echo "Invoice $1, item $2: delivery note 4711-$2, amount 1,234.56 EUR, VAT 22%, page $1"
}

# The printing and scanning effects on the grey page, and the level at which a bilevel page is
# then cut (a lower cut thins the ink, a higher one thickens it).
effects=(clean skew blur thick clean thin speckle skew2 clean blur)
effect_options() {  # effect_options EFFECT WIDTHxHEIGHT
    case $1 in
    clean) ;;
    skew) echo "-background white -rotate 2.5 +repage -gravity center -extent $2" ;;
    skew2) echo "-background white -rotate -1.5 +repage -gravity center -extent $2" ;;
    blur) echo "-blur 0x0.8" ;;
    thick) echo "-blur 0x0.7 -gamma 0.6" ;;
    thin) echo "-blur 0x0.7 -gamma 1.7" ;;
    speckle) echo "-attenuate 0.15 +noise Impulse" ;;
    esac
}

# The codings, one after another over the pages: the options that end the page's convert
# command, and the file it writes.
codings=(g4 g3_1d g3_2d none packbits g4_strips jpeg_grey jpeg_colour gif bmp)
extension() {
    case $1 in
    jpeg_*) echo jpg ;;
    gif) echo gif ;;
    bmp) echo bmp ;;
    *) echo tif ;;
    esac
}
coding_options() {  # coding_options CODING DENSITY
    case $1 in
    jpeg_grey) echo "-units PixelsPerInch -density $2 -quality 80" ;;
    # Ink in dark blue on cream paper.
    jpeg_colour) echo "-units PixelsPerInch -density $2 -type TrueColor +level-colors
        rgb(20,30,90),rgb(250,240,210) -quality 85" ;;
    gif) echo "-units PixelsPerInch -density $2 -colors 16" ;;
    bmp) echo "-units PixelsPerInch -density $2 -type TrueColor" ;;
    *) echo "-threshold 50%" ;;
    esac
}
# A bilevel page: the PBM the convert command wrote, stored minimum-is-white in the coding.
store_bilevel() {  # store_bilevel CODING PBM OUT DENSITY
    local c=${1/_/:} rows=100000
    [ "$1" = g4_strips ] && { c=g4; rows=64; }
    convert "$2" -define quantum:polarity=min-is-white -units PixelsPerInch -density "$4" \
        -compress none "$work/bilevel.tif"
    tiffcp -s -r "$rows" -c "$c" "$work/bilevel.tif" "$3"
}
# Runs the page's convert command (its arguments up to the effects) and stores the page.
finish_page() {  # finish_page CODING EFFECT DENSITY SIZE OUT convert-arguments...
    local coding=$1 effect=$2 density=$3 size=$4 out=$5
    shift 5
    local target=$out
    case $(extension "$coding") in
    tif) target=$work/page.pbm ;;
    bmp) target=BMP3:$out ;;  # the Windows 3 form, with the 40-byte header
    esac
    # shellcheck disable=SC2046
    convert "$@" $(effect_options "$effect" "$size") $(coding_options "$coding" "$density") \
        "$target"
    [ "$target" != "$work/page.pbm" ] || store_bilevel "$coding" "$target" "$out" "$density"
}

n=0
add_page() {  # add_page SYMBOLOGY MODULE DPI TURN(0 upright, 1 quarter)
    local s=$1 m=$2 dpi=$3 turn=$4
    n=$((n + 1))
    read -r width height density <<< "$(geometry "$dpi")"
    local name effect coding labels=() draw=() k
    effect=${effects[$((n % ${#effects[@]}))]}
    coding=${codings[$((n % ${#codings[@]}))]}
    name=$(printf 'p%03d_%s_m%d_%s_%s_%s_%s' "$n" "$s" "$m" "$dpi" \
        "$([ "$turn" = 1 ] && echo quarter || echo upright)" "$effect" "$coding")
    # Symbols half an inch tall, three to a page, the second upside down; text to the right of
    # each, twenty modules away.
    local bar_height=$(( ${dpi/fax/200} * 2 / 4 / m )) point=$(( ${dpi/fax/200} * 12 / 100 ))
    for k in 1 2 3; do
        symbol_data "$s" "$n" "$k"
        labels+=("$label")
        local rotate=0
        [ "$k" = 2 ] && rotate=180
        zint -b "${zint_type[$s]}" --notext --height="$bar_height" --scale="$(awk -v m="$m" \
            'BEGIN { print m / 2 }')" -d "$data" --rotate="$rotate" -o "$work/s$k.png"
        local sw x y
        sw=$(identify -format %w "$work/s$k.png")
        x=$((width / 12))
        y=$((height * (2 * k - 1) / 7))
        draw+=("$work/s$k.png" -geometry "+$x+$y" -composite)
        local tx=$((x + sw + 20 * m))
        for line in 0 1 2; do
            draw+=(-annotate "+$tx+$((y + 20 + line * point * 3 / 2))" "$(line_of_text "$n" "$line")")
        done
    done
    local direction=0 turn_options=() size=${width}x${height}
    if [ "$turn" = 1 ]; then
        turn_options=(-rotate 90 +repage)
        direction=1
        size=${height}x${width}
    fi
    local file=$out/$name.$(extension "$coding")
    finish_page "$coding" "$effect" "$density" "$size" "$file" -size "${width}x${height}" \
        xc:white -font DejaVu-Sans -pointsize "$point" "${draw[@]}" -colorspace gray \
        "${turn_options[@]}"
    local joined
    joined=$(IFS=';'; echo "${labels[*]}")
    echo "$name|$file|$direction|$s|$joined" >> "$manifest"
}

# Pages without a barcode: text, a table, noise.
add_blank() {  # add_blank KIND DPI
    local kind=$1 dpi=$2
    n=$((n + 1))
    read -r width height density <<< "$(geometry "$dpi")"
    local point=$(( ${dpi/fax/200} * 12 / 100 )) name coding draw=()
    coding=${codings[$((n % ${#codings[@]}))]}
    name=$(printf 'p%03d_none_%s_%s_%s' "$n" "$kind" "$dpi" "$coding")
    case $kind in
    text)
        for line in $(seq 0 40); do
            draw+=(-annotate "+$((width / 12))+$((height / 14 + line * point * 3 / 2))" \
                "$(line_of_text "$n" "$line") | 0123456789 IIIll1|||")
        done ;;
    table)
        for row in $(seq 0 30); do
            local y=$((height / 14 + row * point * 2))
            draw+=(-draw "line $((width / 12)),$y $((width * 11 / 12)),$y")
            for col in 0 1 2 3 4 5; do
                draw+=(-annotate "+$((width / 12 + col * width / 7 + 8))+$((y + point + 4))" \
                    "$((row * 37 + col * 11)).$((col * 3))0 EUR")
            done
        done
        for col in 0 1 2 3 4 5 6; do
            local x=$((width / 12 + col * width / 7))
            draw+=(-draw "line $x,$((height / 14)) $x,$((height / 14 + 30 * point * 2))")
        done ;;
    noise) ;;
    esac
    local noise=() effect=blur
    [ "$kind" = noise ] && { noise=(-attenuate 0.6 +noise Impulse); effect=clean; }
    local file=$out/$name.$(extension "$coding")
    finish_page "$coding" "$effect" "$density" "${width}x${height}" "$file" \
        -size "${width}x${height}" xc:white -font DejaVu-Sans -pointsize "$point" -stroke black \
        -fill black "${draw[@]}" -colorspace gray "${noise[@]}"
    echo "$name|$file|0|none|" >> "$manifest"
}

# Per symbology twelve pages: every scale at every resolution, one page in three turned.
for s in "${symbologies[@]}"; do
    for m in 1 2 3 4; do
        for dpi in 200 300 fax; do
            add_page "$s" "$m" "$dpi" "$(( (n + 1) % 3 == 0 ? 1 : 0 ))"
        done
    done
done
for kind in text table noise; do
    for dpi in 200 300 fax; do
        add_blank "$kind" "$dpi"
    done
done
