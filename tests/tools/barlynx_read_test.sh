#!/usr/bin/env bash
# barlynx-read's contract: FILE<TAB>ERROR<TAB>RESULT on stdout, message boxes on stderr as
# "message: " lines, the export files, the correction answer, exit status and usage errors.
#   barlynx_read_test.sh BARLYNX_READ PAGES_DIR COLOUR_PAGES_DIR WORK_DIR
set -uo pipefail
tool=$1
pages=$2
colour=$3
work=$4
. "$(dirname "$0")/checks.sh"
tab=$'\t'
rm -rf "$work"
mkdir -p "$work"

run() {  # run ARGS...: sets out, err, rc
    out=$("$tool" "$@" 2>"$work/stderr"); rc=$?
    err=$(cat "$work/stderr")
}

upright=$pages/a4-300-upright-g4.tif
turned=$pages/a4-300-turned-g4.tif
two=$pages/two-pages-g4.tif
labels='*LABEL-0001*<300,609,401,1,4>*ORDER 77/B*<1200,1819,1501,1,7>'

run "$upright"
check "defaults read the page" "$upright${tab}0$tab$labels" "$out"
check "defaults: no message" "" "$err"
check "defaults exit 0" 0 "$rc"

run --degree 2 "$turned"
check "degree 2 adds the search along the columns, read-backwards mark escaped" \
    "$turned${tab}0$tab\\xaaTURN-CW*<2572,2919,500,1,6>*TURN-CCW*<1462,1719,1500,1,4>" "$out"
run --degree=3 "$turned"
check "degree 3 is one search along the rows" "$turned${tab}0$tab" "$out"

run --page 2 "$two"
check "the page argument reads page 2" 1 "$(grep -c '\*SIDE-A\*' <<<"$out")"
run --page 3 "$two"
check "a missing page: error 1, empty result" "$two${tab}1$tab" "$out"
check "a missing page: its message" "message: Error:1 in Get Image Info Extended" "$err"
check "a call that failed still exits 0" 0 "$rc"

run "$pages/expected.txt"
check "not an image" "$pages/expected.txt${tab}1$tab" "$out"

run --type 0 "$upright"
check "an empty mask fails the first search" "$upright${tab}3002$tab" "$out"
check "an empty mask: its message" "message: Error:2 in seekBarCode1 B/W" "$err"

# Colour pages: through the colour edit buffer at the grey threshold.
run "$colour/colour.jpg"
check "a colour page" "$colour/colour.jpg${tab}0$tab*COLOUR-1*<150,536,300,1,4>" "$out"
run --bw-threshold 10 "$colour/colour.jpg"
check "a grey threshold below the ink's" "$colour/colour.jpg${tab}0$tab" "$out"
run --degree 2 --export "$work/colour.txt" "$colour/turned.jpg"
check "degree 2 on a colour page" "$colour/turned.jpg${tab}0$tab*TURNED-4*<300,686,150,1,4>" "$out"
check "a colour page's export line" "turned;TURNED-4                 ;00300;00150;00686;00150;$colour"$'\r' \
    "$(cat "$work/colour.txt")"
rm "$work/colour.txt"

# Export files: both get the line; a missing directory or a directory as the name fails that
# file alone.
line="a4-300-upright-g4;ORDER 77/B               ;01200;01501;01819;01501;$pages"$'\r'
run --export "$work/first.txt" --export2 "$work/second.txt" "$upright"
check "both exports: result" "$upright${tab}0$tab$labels" "$out"
check "first export file" "$line" "$(cat "$work/first.txt")"
check "second export file" "$line" "$(cat "$work/second.txt")"
run --export "$work/missing/x.txt" --export2 "$work/second.txt" --images-path 'X:\scans' "$upright"
check "first export unwritable: 999, empty result" "$upright${tab}999$tab" "$out"
check "first export unwritable: no message" "" "$err"
check "first export unwritable: the second still gets the line" \
    "$line"$'\n'"${line%%;$pages*};X:\\scans"$'\r' "$(cat "$work/second.txt")"
run --export "$work/first.txt" --export2 "$work" "$upright"
check "second export is a directory: 998" "$upright${tab}998$tab" "$out"
run --export "" --export2= "$upright"
check "empty export names are accepted and write nothing" "$upright${tab}0$tab$labels" "$out"
check "empty export names: only the files written before" "first.txt second.txt stderr" \
    "$(ls "$work" | tr '\n' ' ' | sed 's/ $//')"

# A read with a rejected character ("?") opens the correction dialog: --correct answers OK.
zint -b 20 --notext --height=30 --scale=1.5 -d 'AB?12' -o "$work/c128.png"
convert -size 1000x500 xc:white "$work/c128.png" -geometry +100+100 -composite \
    -colorspace gray -threshold 50% "$work/c128.pbm"
pnmtotiff -g4 -rowsperstrip 100000 -xresolution 200 -yresolution 200 "$work/c128.pbm" \
    >"$work/00012.tif"
run --export "$work/c.txt" --correct 4711 "$work/00012.tif"
check "the correction leaves the result" "$work/00012.tif${tab}0$tab*AB?12*<100,364,101,4,30>" "$out"
run --export "$work/c.txt" "$work/00012.tif"
check "corrected, then cancelled" \
    "00012;4711                     ;00100;00101;00364;00101;$work"$'\r\n'"00012;AB?12                    ;00100;00101;00364;00101;$work"$'\r' \
    "$(cat "$work/c.txt")"

usage() {  # usage NAME ARGS...
    local name=$1
    shift
    "$tool" "$@" >/dev/null 2>&1
    check "usage error: $name" 2 "$?"
}
usage "no file"
usage "two files" "$upright" "$upright"
usage "page 0" --page 0 "$upright"
usage "type not a number" --type x "$upright"
usage "type beyond 16 bits" --type 65536 "$upright"
usage "unknown option" --bogus 1 "$upright"
usage "option without value" "$upright" --export

finish
