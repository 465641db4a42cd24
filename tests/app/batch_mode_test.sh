#!/usr/bin/env bash
# scantora --batch end to end: a registered job scans a feeder folder (plain pages and Code 39
# separator sheets) and SANE's test device into a fresh work area. Checks the page lines, the
# summary, the documents as libtiff reads them, the scan report, the saved identification, the
# existing-file answers, a run that fails before scanning and the exit statuses.
#   batch_mode_test.sh SCANTORA SEPARATOR_SHEETS_DIR WORK_DIR    (SANE_CONFIG_DIR set by ctest)
set -uo pipefail
scantora=$1
sheets=$2
work=$3
fails=0
tab=$'\t'
rm -rf "$work"
mkdir -p "$work/setup" "$work/feeder"
# The work area root is a short path: DISCO_SCARICO holds at most 49 characters.
area=$(mktemp -d /tmp/scantora-batch.XXXXXX)
trap 'rm -rf "$area"' EXIT

check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        echo "FAIL $1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  actual:   $(printf '%q' "$3")"
        fails=$((fails + 1))
    fi
}

run() {  # run ARGS...: sets out, err, rc
    out=$("$scantora" --setup "$work/setup" "$@" 2>"$work/stderr"); rc=$?
    err=$(cat "$work/stderr")
}

heights() {  # heights TIFF: the page heights, blank-separated
    tiffinfo "$1" 2>/dev/null | sed -n 's/.*Image Width: [0-9]* Image Length: \([0-9]*\).*/\1/p' |
        tr '\n' ' ' | sed 's/ $//'
}

plain() {  # plain NAME HEIGHT: a bilevel page that carries no barcode
    convert -size "600x$2" xc:white -fill black -draw "rectangle 50,100 500,140" \
        -density 200 "$work/feeder/$1.pbm"
}

job() {  # job MULTITIFF: the job file
    cat >"$work/setup/P_G32001" <<JOB
[GENERALE]
APPLICAZIONE=BATCH
INISAVEPARAM=batch_save.ini
INISETSCAN=batch
NLIVELLI=2
MULTITIFF=$1
MAXDOC_NUM=0
MAXDOC_OP=
MAXDOC_NLIV=
DISCO_SCARICO=$area/
DISCO_WORK=
AUTOMATICO=1
JPGCOMPRESS=

[LIVELLO 0]
DESCRIZIONE_0=Box
NMAXCAR_0=3
COMPOSNOME_0=B\$1#*%\\
OBBLIGATORIO_0=1

[LIVELLO 1]
DESCRIZIONE_1=Document
NMAXCAR_1=4
COMPOSNOME_1=\$2#*%.tif
OPFINESCANDOC_1=+
OBBLIGATORIO_1=1

[BARCODE]
BARCODE=1
BARCODEVAL=1
THRESHOLDBARCODE=128
SEP01_LIV=2
SEP01_VAL=SEP-A
SEP01_OP=+
SEP01_SAVEIMG=0

[VARIE]
SHOWTWAIN=3
JOB
}

printf 'SHOWMESSAGGI=0\nNOME=BATCH\nFILEINI=%s\n' "$work/setup/P_G32001" >"$work/setup/Scantora.ini"
printf 'TIPO=0\nRISOLUZIONE=50\nLEFT=0\nTOP=0\nRIGHT=40\nBOTTOM=50\n' >"$work/setup/batch.twn"
job Y

# Two documents from the feeder: 401, 402, separator, 403 -> 0001.tif (401 402), 0002.tif (403).
plain 001 401
plain 002 402
cp "$sheets/sep-a.pbm" "$work/feeder/003.pbm"
plain 004 403
run --batch APP=BATCH LEVELS=001,0001 --source "folder:$work/feeder"
doc1=$area/B001/0001.tif
doc2=$area/B001/0002.tif
check "feeder: page lines and summary" \
    "$doc1${tab}1${tab}0
$doc1${tab}2${tab}0
$doc1${tab}3${tab}1
$doc2${tab}1${tab}0
summary: pages=4 documents=2 separators=1 end=feeder-empty transfer=kept" "$out"
check "feeder: exit 0" 0 "$rc"
check "feeder: first document without the separator" "401 402" "$(heights "$doc1")"
check "feeder: second document" "403" "$(heights "$doc2")"
check "feeder: every page moved to done" "001.pbm 002.pbm 003.pbm 004.pbm" \
    "$(ls "$work/feeder/done" | tr '\n' ' ' | sed 's/ $//')"
check "feeder: the end-of-document choice answered next" 1 \
    "$(grep -c -- '-> 2) Passa a Batch successivo' "$work/stderr")"
report=$(printf '%-20s%-8s%-8s%-55s\r' 0002.tif 001 0002 '')
check "feeder: scan report of the last page" "$report" "$(cat "$work/setup/Resocon.txt")"
check "feeder: the next code saved for the next run" "0003" \
    "$(sed -n 6p "$work/setup/batch_save.ini" | tr -d '\r')"

# Again into the same document: the default answer appends.
plain 005 404
run --batch APP=BATCH LEVELS=001,0002 --source "folder:$work/feeder"
check "append: exit 0" 0 "$rc"
check "append: the page went after the old one" "403 404" "$(heights "$doc2")"
check "append: asked once" 1 "$(grep -c -- '-> 1) Accoda' "$work/stderr")"

plain 006 405
run --batch APP=BATCH LEVELS=001,0002 --source "folder:$work/feeder" --on-existing replace
check "replace: exit 0" 0 "$rc"
check "replace: the document holds only the new page" "405" "$(heights "$doc2")"

plain 007 406
run --batch APP=BATCH LEVELS=001,0002 --source "folder:$work/feeder" --on-existing cancel
check "cancel: exit 0, nothing scanned" "0 405" "$rc $(heights "$doc2")"
check "cancel: the page stays in the feeder" "yes" "$([ -f "$work/feeder/007.pbm" ] && echo yes)"
rm -f "$work/feeder/007.pbm"

# SANE's test device: ten pages from its feeder into one document.
run --batch APP=BATCH LEVELS=002,0001 --source test:0
check "sane: exit 0" 0 "$rc"
check "sane: ten pages" 10 "$(tiffinfo "$area/B002/0001.tif" 2>/dev/null | grep -c 'Image Width')"
check "sane: summary" "summary: pages=10 documents=1 separators=0 end=feeder-empty transfer=kept" \
    "$(echo "$out" | tail -1)"

# Faults before anything is scanned: a mandatory level left empty, a work area that cannot be
# written, a job that is not registered, a source that does not exist.
plain 008 407
run --batch APP=BATCH LEVELS=0001 --source "folder:$work/feeder"
check "code wider than its level: exit 1" 1 "$rc"
check "code wider than its level: message" 1 "$(grep -c 'al massimo 3 caratteri' "$work/stderr")"
check "code wider than its level: summary" \
    "summary: pages=0 documents=0 separators=0 end=not-started transfer=kept" "$out"
mv "$work/setup/batch_save.ini" "$work/saved"
run --batch APP=BATCH --source "folder:$work/feeder"
check "empty mandatory level: exit 1" 1 "$rc"
check "empty mandatory level: message" 1 "$(grep -c 'bisogna riempire i campi' "$work/stderr")"
mv "$work/saved" "$work/setup/batch_save.ini"
touch "$area/B003"
run --batch APP=BATCH LEVELS=003,0001 --source "folder:$work/feeder"
check "unwritable work area: exit 1" 1 "$rc"
check "unwritable work area: message" 1 "$(grep -c 'non e. scrivibile' "$work/stderr")"
check "unwritable work area: the page stays in the feeder" "yes" \
    "$([ -f "$work/feeder/008.pbm" ] && echo yes)"
run --batch APP=NOSUCHJOB --source "folder:$work/feeder"
check "unknown job: exit 1" 1 "$rc"
run --batch APP=BATCH LEVELS=001,0009 --source nosuchdevice
check "unknown source: exit 1" 1 "$rc"
run --batch APP=BATCH --on-existing sometimes
check "bad option value: exit 2" 2 "$rc"

# One file per page: each page a file of its own, the page level advancing.
rm -rf "${area:?}"/*
job N
sed -i 's/^COMPOSNOME_1=.*/COMPOSNOME_1=P$2#*%.tif/' "$work/setup/P_G32001"
plain 009 408
plain 010 409
run --batch APP=BATCH LEVELS=004,0001 --source "folder:$work/feeder"
check "one file per page: exit 0" 0 "$rc"
check "one file per page: files" "P0001.tif P0002.tif P0003.tif" \
    "$(ls "$area/B004" | tr '\n' ' ' | sed 's/ $//')"
check "one file per page: pages" "407 408 409" "$(for f in "$area"/B004/*.tif; do heights "$f"; echo -n ' '; done | sed 's/ $//')"

# Into the transfer: "Fine Batch?" answered by --end-of-batch transfer sends every document of
# the work area to INVIOA, with the transfer log, the barcode export lines of each page and a
# semaphore file in each destination folder.
rm -rf "${area:?}"/* "$work/feeder"/*
dest=$(mktemp -d /tmp/scantora-dest.XXXXXX)
trap 'rm -rf "$area" "$dest"' EXIT
job Y
mkdir -p "$dest/exports"
cat >>"$work/setup/P_G32001" <<JOB

[TRASFERIMENTO]
TRASFERIMENTO=1
VIEWNLIVELLI=2
INVIOA=$dest/
LOG=1
NOMEFILELOG=$dest/transfer.log
NUMLIVELLILOG=2
LOGNUMFILE=1
LOGDIRBASE=1
SEMAFORO=1
SEMAFORO_MOMENTOCREAZ=1
SEMAFORO_NOMEFILE=ready.sem
JOB
sed -i -e "s|^BARCODE=1|BARCODE=1\nNOMEFILEBARCODE=$dest/exports\nEXPORTBARCODEINBATCH=1|" \
    "$work/setup/P_G32001"
plain 011 411
cp "$sheets/sep-a.pbm" "$work/feeder/012.pbm"
cp "$sheets/abcd.pbm" "$work/feeder/013.pbm"
run --batch APP=BATCH LEVELS=005,0001 --source "folder:$work/feeder" --end-of-batch transfer
if grep -q 'not part of this build' "$work/stderr"; then
    # A build without the headless transfer refuses before anything is scanned.
    check "transfer refused: exit 1" 1 "$rc"
    check "transfer refused: nothing scanned" "011.pbm 012.pbm 013.pbm" \
        "$(ls "$work/feeder" | tr '\n' ' ' | sed 's/ $//')"
else
    check "transfer: exit 0" 0 "$rc"
    check "transfer: summary" \
        "summary: pages=3 documents=2 separators=1 end=end-of-batch transfer=done" \
        "$(echo "$out" | tail -1)"
    check "transfer: the work area is empty" "" "$(find "$area" -type f)"
    check "transfer: the destination tree" \
        "B005/0001.TIF B005/0002.TIF B005/Barcode.txt B005/ready.sem exports/B005.txt transfer.log" \
        "$(cd "$dest" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ' | sed 's/ $//')"
    check "transfer: the documents' pages" "411 | 704" \
        "$(heights "$dest/B005/0001.TIF") | $(heights "$dest/B005/0002.TIF")"
    check "transfer: one log line per document" \
        "$(printf '0000000001%s/B005/0002.tif\r\n0000000001%s/B005/0001.tif\r' "$dest" "$dest")" \
        "$(cat "$dest/transfer.log")"
    check "transfer: one export line per page, the symbol read, the last document first" \
        "$(printf '0002;%-25s;00200;00151;00353;00151;%s/B005\r\n0001;%-25s;00000;00000;00000;00000;%s/B005\r' ABCD "$dest" '' "$dest")" \
        "$(cat "$dest/B005/Barcode.txt")"
    check "transfer: the per-folder export file holds the same lines" \
        "$(cat "$dest/B005/Barcode.txt")" "$(cat "$dest/exports/B005.txt")"
    check "transfer: the semaphore is empty" 0 "$(stat -c %s "$dest/B005/ready.sem")"
fi

echo "$fails failures"
[ "$fails" -eq 0 ]
