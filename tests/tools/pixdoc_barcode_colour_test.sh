#!/usr/bin/env bash
# pixdoc-barcode on colour and grey pages: the same symbols read from a Group 4 page and from the
# same picture as grey and colour JPEG, BMP, GIF, PCX and colour TIFF give the same texts and
# positions (the colour search numbers rows from 0, the bilevel search from 1), in both
# directions; a colour page searched twice in a row reads twice.
#   pixdoc_barcode_colour_test.sh PIXDOC_BARCODE PAGES_DIR
set -uo pipefail
tool=$1
pages=$2
. "$(dirname "$0")/checks.sh"

# The reads of one result line, one a line: TEXT<TAB>START,END,LINE,SYMBOLOGY,THRESHOLD.
reads() { cut -f2- | sed 's/>/>\n/g' | sed -n 's/^\(.*\)<\(.*\)>$/\1\t\2/p'; }
# Bilevel line numbers one lower, as the colour search counts them.
rows_from_zero() { awk -F'\t' -v OFS='\t' '{ split($2, p, ","); p[3]--; print $1, p[1] "," p[2] "," p[3] "," p[4] "," p[5] }'; }
texts() { cut -f1 | sort; }

for dpi in 200 300; do
    threshold=$([ "$dpi" = 200 ] && echo 4 || echo 7)
    g4=$("$tool" --threshold "$threshold" "$pages/$dpi-g4.tif" | reads)
    check "$dpi dpi Group 4 page reads every symbol" "$(cat "$pages/$dpi.expected")" \
        "$(echo "$g4" | cut -f1)"
    g4_turned=$("$tool" --direction 1 --threshold "$threshold" "$pages/$dpi-g4.tif" | reads | texts)
    for f in grey.jpg colour.jpg colour.bmp colour.gif colour.pcx colour.tif; do
        page=$pages/$dpi-$f
        out=$("$tool" --threshold "$threshold" "$page"); rc=$?
        check "$dpi-$f exits 0" 0 "$rc"
        check "$dpi-$f reads as the Group 4 page" "$(echo "$g4" | rows_from_zero)" \
            "$(echo "$out" | reads)"
        check "$dpi-$f turned reads the Group 4 page's texts" "$g4_turned" \
            "$("$tool" --direction 1 --threshold "$threshold" "$page" | reads | texts)"
    done
done

page=$pages/200-colour.jpg
out=$("$tool" "$page" "$page"); rc=$?
first=$(echo "$out" | head -1)
check "a colour page searched twice in a row reads twice" "$first"$'\n'"$first" "$out"
check "twice in a row exits 0" 0 "$rc"
[ -n "$(echo "$first" | cut -f2)" ] || fail "the colour page read nothing"

"$tool" --mask 0 "$page" >/dev/null 2>/tmp/pixdoc-barcode-colour-err.$$; rc=$?
check "empty mask on a colour page" "pixdoc-barcode: $page: the symbology mask is empty (2)" \
    "$(cat /tmp/pixdoc-barcode-colour-err.$$)"
check "empty mask on a colour page exits non-zero" 1 "$rc"
rm -f /tmp/pixdoc-barcode-colour-err.$$

finish
