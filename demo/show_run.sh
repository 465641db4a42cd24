#!/usr/bin/env bash
# Prints what a demo run left for the downstream system: the destination tree (TIFF files with
# their page counts), the transfer log and the barcode export lines, CR LF shown as line ends.
#   demo/show_run.sh RUNDIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 RUNDIR" >&2; exit 2; }
run=$(realpath -m "$1")

echo "== destination tree ($run/send)"
(cd "$run/send" && find . -mindepth 1 | LC_ALL=C sort) | while read -r entry; do
    path=$run/send/${entry#./}
    if [ -d "$path" ]; then
        echo "${entry#./}/"
    elif [[ ${entry^^} == *.TIF ]]; then
        echo "${entry#./}  $(tiffinfo "$path" 2>/dev/null | grep -c '^TIFF Directory') pages"
    else
        echo "${entry#./}  $(stat -c %s "$path") bytes"
    fi
done

echo "== transfer log ($run/transfer.log)"
[ -f "$run/transfer.log" ] && tr -d '\r' <"$run/transfer.log"

echo "== barcode export lines ($run/export)"
for file in $(cd "$run/export" && find . -type f | LC_ALL=C sort); do
    echo "-- ${file#./}"
    tr -d '\r' <"$run/export/${file#./}"
done
