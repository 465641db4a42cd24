#!/usr/bin/env bash
# scantora --transfer end to end: a copy of the demo setup whose work area, destination and log
# lie in a scratch folder (the roots written with backslashes) and whose levels are folders, a
# document being every file that begins with its code; page files laid out so, then the transfer
# of one box and of everything left.
#   transfer_cli_test.sh SCANTORA DEMO_SETUP
set -euo pipefail
scantora=$1 demo=$2
# A short folder: the job file keeps roots of up to 50 characters.
scratch=$(mktemp -d /tmp/sct.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/setup" "$scratch/work"
cp "$demo"/* "$scratch/setup/"
job="$scratch/setup/P_G32001"
# Each backslash doubled for sed's replacement text.
backslashed=$(printf '%s' "$scratch" | sed 's|/|\\\\|g')
sed -i -e "s|^DISCO_SCARICO=.*|DISCO_SCARICO=$backslashed\\\\work|" \
       -e "s|^INVIOA=.*|INVIOA=$backslashed\\\\OUT|" \
       -e "s|^NOMEFILELOG=.*|NOMEFILELOG=$scratch/transfer.log|" \
       -e "s|^BARCODE=.*|BARCODE=0|" \
       -e 's|^COMPOSNOME_0=.*|COMPOSNOME_0=\\$1#*%|' \
       -e 's|^COMPOSNOME_1=.*|COMPOSNOME_1=\\$2#*%|' \
       -e 's|^COMPOSNOME_2=.*|COMPOSNOME_2=\\$3#*%|' "$job"

fail() { echo "FAIL: $*"; exit 1; }

# Box B001 with two folders, box B002 with one; a document of 1000+ page files in B002.
for doc in B001/F00001/D01 B001/F00001/D02 B001/F00002/D01; do
    mkdir -p "$scratch/work/$(dirname "$doc")"
    printf 'page %s' "$doc" > "$scratch/work/$doc.tif"
done
mkdir -p "$scratch/work/B002/F00003"
for i in $(seq -w 1 1005); do printf 'p%s' "$i" > "$scratch/work/B002/F00003/D09_$i.tif"; done

# One box: its documents only, last row first.
out=$("$scantora" --setup "$scratch/setup" --transfer APP=DEMO LEVELS=b001 2>"$scratch/err1") ||
    fail "exit $? for LEVELS=b001: $(cat "$scratch/err1")"
expected=$'sent\tB001\tF00002\tD01\t1\t1\nsent\tB001\tF00001\tD02\t1\t1\nsent\tB001\tF00001\tD01\t1\t1\ntotal\t3\t3\t0'
[ "$out" = "$expected" ] || fail "output for LEVELS=b001: $out"
[ -f "$scratch/OUT/B001/F00001/D02.TIF" ] || fail "D02 not at the destination"
[ ! -e "$scratch/work/B001" ] || fail "B001 left in the work area"
[ -f "$scratch/work/B002/F00003/D09_0001.tif" ] || fail "B002 moved too"
grep -Eq "Export completed|Invio Documenti Completato" "$scratch/err1" || fail "no completion message"
printf -v log '0000000001%s/OUT//B001/F00002/D01\r\n0000000001%s/OUT//B001/F00001/D02\r\n0000000001%s/OUT//B001/F00001/D01\r\n' \
    "$scratch" "$scratch" "$scratch"
[ "$(cat "$scratch/transfer.log")" = "${log%$'\n'}" ] || fail "log: $(od -c "$scratch/transfer.log" | head)"

# Everything left: the 1005 pages of one document.
out=$("$scantora" --setup "$scratch/setup" --transfer APP=DEMO 2>"$scratch/err2") ||
    fail "exit $? for everything: $(cat "$scratch/err2")"
[ "$out" = $'sent\tB002\tF00003\tD09\t1005\t1005\ntotal\t1\t1005\t0' ] || fail "output: $out"
[ "$(ls "$scratch/OUT/B002/F00003" | grep -c '^D09_[0-9]*\.TIF$')" = 1005 ] || fail "pages missing"
grep -q $'^0000001005.*/OUT//B002/F00003/D09\r$' "$scratch/transfer.log" || fail "no log line for D09"

# Nothing left to send: no run, no success mark.
if "$scantora" --setup "$scratch/setup" --transfer APP=DEMO >"$scratch/out3" 2>&1; then
    fail "an empty work area reported success"
fi
grep -q $'^total\t0\t0\t0$' "$scratch/out3" || fail "no summary for an empty work area"

# A log that cannot be opened: the run stops after the first document and fails.
mkdir -p "$scratch/work/B003/F00001"
printf 'a' > "$scratch/work/B003/F00001/D01.tif"
printf 'b' > "$scratch/work/B003/F00001/D02.tif"
sed -i "s|^NOMEFILELOG=.*|NOMEFILELOG=$scratch/no-such-folder/transfer.log|" "$job"
if "$scantora" --setup "$scratch/setup" --transfer APP=DEMO >"$scratch/out4" 2>"$scratch/err4"; then
    fail "a failed log write reported success"
fi
grep -q "open file log<$scratch/no-such-folder/transfer.log>" "$scratch/err4" || fail "no log message"
[ -f "$scratch/work/B003/F00001/D01.tif" ] || fail "the run did not stop after its first document"
echo "transfer cli: ok"
