#!/usr/bin/env bash
# pixdoc-barcode's contract: one FILE<TAB>RESULT line per searched file, raw result text with
# position suffixes, \xNN escapes, exit status and messages.
#   pixdoc_barcode_test.sh PIXDOC_BARCODE PAGES_DIR
set -uo pipefail
tool=$1
pages=$2
. "$(dirname "$0")/checks.sh"
tab=$'\t'

upright=$pages/a4-300-upright-g4.tif
turned=$pages/a4-300-turned-g4.tif

out=$("$tool" "$upright"); rc=$?
check "defaults read both labels" \
    "$upright$tab*LABEL-0001*<300,609,401,1,4>*ORDER 77/B*<1200,1819,1501,1,7>" "$out"
check "defaults exit 0" 0 "$rc"

out=$("$tool" --threshold 3 --span=0 "$turned" "$upright"); rc=$?
check "nothing found is an empty result; options with = and separate values" \
    "$turned$tab"$'\n'"$upright$tab*LABEL-0001*<300,609,401,1,3>" "$out"
check "nothing found exits 0" 0 "$rc"

out=$("$tool" --direction 1 --max-results 1 "$turned")
check "read-backwards mark escaped in direction 1" \
    "$turned$tab\\xaaTURN-CW*<2572,2919,500,1,6>" "$out"

out=$("$tool" --zone 0 --min-length 0 --mask 1 "$pages/a4-200-short-g4.tif")
check "zone 0 compares texts on five bits" \
    "$pages/a4-200-short-g4.tif$tab*1*<200,275,301,1,4>*ABC*<200,327,1501,1,4>*ABCD*<800,953,1501,1,4>" \
    "$out"

out=$("$tool" "$pages/missing.tif" "$upright" 2>/tmp/pixdoc-barcode-err.$$); rc=$?
err=$(cat /tmp/pixdoc-barcode-err.$$)
check "a missing file: the others are still searched" \
    "$upright$tab*LABEL-0001*<300,609,401,1,4>*ORDER 77/B*<1200,1819,1501,1,7>" "$out"
check "a missing file exits non-zero" 1 "$rc"
check "a missing file is reported" "pixdoc-barcode: $pages/missing.tif: cannot read the page (1)" "$err"

out=$("$tool" "$pages/colour.bmp" 2>/tmp/pixdoc-barcode-err.$$); rc=$?
check "colour pages are searched through the colour edit buffer" "$pages/colour.bmp$tab" "$out"
check "colour pages: no message" "" "$(cat /tmp/pixdoc-barcode-err.$$)"
check "colour pages exit 0" 0 "$rc"

"$tool" --mask 0 "$upright" >/dev/null 2>&1; check "empty mask exits non-zero" 1 "$?"
"$tool" --span >/dev/null 2>&1; check "incomplete option is a usage error" 2 "$?"
"$tool" --zone x "$upright" >/dev/null 2>&1; check "not a number is a usage error" 2 "$?"
"$tool" --bogus 1 "$upright" >/dev/null 2>&1; check "unknown option is a usage error" 2 "$?"
"$tool" >/dev/null 2>&1; check "no file is a usage error" 2 "$?"
rm -f /tmp/pixdoc-barcode-err.$$

finish
