#!/usr/bin/env bash
# The product's main job end to end on the demo, as scripts/run runs it: scantora --batch scans
# the demo's feeder load (Group 4 and JPEG pages with Code 39 separator sheets) into a fresh
# work area and scantora --transfer sends the documents. Checks the lines both print, the scan
# report, the documents in the destination tree as libtiff reads them (bilevel pages pixel for
# pixel against the fed pages), the transfer log, the barcode export lines in both export
# files, the semaphore file, the emptied work area and feeder, and that a second run gives the
# same result.
#   demo_batch_transfer_test.sh SCANTORA BARLYNX_LIBRARY SOURCE_DIR
set -uo pipefail
scantora=$1
export SCANTORA_BARLYNX=$2
demo=$3/demo
# A short run folder: the job's work area root holds at most 49 characters.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/scantora-demo.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
run=$tmp/run
. "$(dirname "$0")/../tools/checks.sh"

batch() { # the demo as scripts/run runs it; sets rc and transfer_rc
    "$demo/prepare_run.sh" "$run" || exit 1
    "$scantora" --setup "$run/setup" --batch APP=DEMO LEVELS=0001,A00001 \
        --source "folder:$run/feeder" --end-of-batch keep >"$tmp/out" 2>"$tmp/err"
    rc=$?
    "$scantora" --setup "$run/setup" --transfer APP=DEMO >"$tmp/sent" 2>"$tmp/transfer_err"
    transfer_rc=$?
}

pages() { # pages TIFF: "WIDTHxHEIGHT:COMPRESSION" per page, as libtiff reads them
    tiffinfo "$1" 2>/dev/null | awk '
        /Image Width:/ { size = $3 "x" $6 }
        /Compression Scheme:/ { sub(/.*Compression Scheme: /, ""); printf "%s%s:%s", sep, size, $0; sep = " " }'
}

pixels() { # pixels TIFF PAGE: the page's pixels as a digest
    convert "$1[$2]" -depth 1 gray:- 2>/dev/null | md5sum | cut -d' ' -f1
}

batch
check "batch exit status" 0 "$rc"
check "transfer exit status" 0 "$transfer_rc"
[ "$rc" -eq 0 ] && [ "$transfer_rc" -eq 0 ] || cat "$tmp/err" "$tmp/transfer_err"

# A line per saved page (file, page, separator); a separator page is saved, read and removed.
work=$run/work/0001/A00001
check "batch lines" "$(printf '%s\t%s\t%s\n' "$work/001.tif" 1 0 "$work/001.tif" 2 0 \
    "$work/001.tif" 3 1 "$work/002.tif" 1 0 "$work/002.tif" 2 0 "$work/002.tif" 3 1 \
    "$work/003.tif" 1 0 "$work/003.tif" 2 0)
summary: pages=8 documents=3 separators=2 end=feeder-empty transfer=kept" "$(cat "$tmp/out")"
check "transfer lines" "$(printf 'sent\t0001\tA00001\t%s\t1\t1\n' 003 002 001)
$(printf 'total\t3\t3\t0')" "$(cat "$tmp/sent")"

# The scan report holds the last page saved: its file and the codes of its document, in 91 bytes.
check "scan report" "$(printf '%-91s\r' "$(printf '%-20s%-8s%-8s%-8s' 003.tif 0001 A00001 003)")" \
    "$(cat "$run/setup/Resocon.txt")"

send=$run/send
dest=$send/0001/A00001
check "destination tree" "$(printf '%s\n' 0001 0001/A00001 0001/A00001/001.TIF \
    0001/A00001/002.TIF 0001/A00001/003.TIF 0001/A00001/Barcode.txt 0001/A00001/ready.sem)" \
    "$(cd "$send" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)"

# Each document holds its pages in feeding order; the separator sheets are gone.
g4=1654x2339:CCITT\ Group\ 4
jpeg=827x1170:JPEG
check "document 001" "$g4 $jpeg" "$(pages "$dest/001.TIF")"
check "document 002" "$g4 $g4" "$(pages "$dest/002.TIF")"
check "document 003" "$jpeg $g4" "$(pages "$dest/003.TIF")"
fed=$run/feeder/done
check "001 page 1" "$(pixels "$fed/01-invoice.tif" 0)" "$(pixels "$dest/001.TIF" 0)"
check "002 page 1" "$(pixels "$fed/04-contract.tif" 0)" "$(pixels "$dest/002.TIF" 0)"
check "002 page 2" "$(pixels "$fed/04-contract.tif" 1)" "$(pixels "$dest/002.TIF" 1)"
check "003 page 2" "$(pixels "$fed/07-receipt.tif" 0)" "$(pixels "$dest/003.TIF" 1)"

check "feeder emptied into done/" \
    "01-invoice.tif 02-letter.jpg 03-separator.tif 04-contract.tif 05-separator.tif 06-photo.jpg 07-receipt.tif" \
    "$(ls "$run/feeder/done" | paste -sd' ')"
check "nothing left in the feeder" "done" "$(ls "$run/feeder")"
check "work area emptied" "" "$(cd "$run/work" && find . -mindepth 1)"

# The semaphore is made empty once the last file of the directory arrived.
check "semaphore" "0" "$(stat -c %s "$dest/ready.sem" 2>/dev/null)"

# One log line per document, the last of the list first, each counting its one file.
check "transfer log" "$(printf '%s\r\n' "0000000001$send/0001/A00001/003.tif" \
    "0000000001$send/0001/A00001/002.tif" "0000000001$send/0001/A00001/001.tif")" \
    "$(cat "$run/transfer.log")"

# One export line per page, in the order the documents went; a page without a barcode gives
# blanks and zeros. The per-directory file and Barcode.txt beside the pages hold the same.
export_file=$run/export/0001A00001.txt
check "export files" "0001A00001.txt" "$(ls "$run/export")"
label() { # label BASE TEXT: the line pattern of a page whose last read is TEXT
    printf '^%s;%-25s;[0-9]{5};[0-9]{5};[0-9]{5};[0-9]{5};%s\r$' "$1" "$2" "$dest"
}
blank() { # blank BASE: the line of a page without a barcode
    printf '^%s;%25s;00000;00000;00000;00000;%s\r$' "$1" "" "$dest"
}
expected=("$(label 003 IMG0042)" "$(blank 003)" "$(label 002 CTR0815)" "$(blank 002)"
    "$(label 001 INV4711)" "$(blank 001)")
mapfile -t lines <"$export_file"
check "export line count" "${#expected[@]}" "${#lines[@]}"
for i in "${!expected[@]}"; do
    [[ ${lines[i]:-} =~ ${expected[i]} ]] || fail "export line $((i + 1)): ${lines[i]:-} !~ ${expected[i]}"
done
check "Barcode.txt beside the pages" "$(cat "$export_file")" "$(cat "$dest/Barcode.txt")"
# Same coordinates on both sides of a line: x1;y;x2;y.
check "export line coordinates" "" "$(awk -F';' '$4 != $6' "$export_file")"

# A second run from scratch gives the same result.
first=$("$demo/show_run.sh" "$run")
batch
check "second run exit statuses" "0 0" "$rc $transfer_rc"
check "second run" "$first" "$("$demo/show_run.sh" "$run")"

finish
