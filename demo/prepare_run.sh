#!/usr/bin/env bash
# Lays out a fresh run of the demo job in RUNDIR, so that every run starts from the same state
# and nothing is written into the repository:
#   RUNDIR/setup    a copy of demo/setup whose relative paths now lead into RUNDIR
#   RUNDIR/feeder   the demo pages for the folder feeder (fed pages move into feeder/done)
#   RUNDIR/work     the work area (DISCO_SCARICO)
#   RUNDIR/send     the destination tree (INVIOA)
#   RUNDIR/export   the per-document barcode export files (NOMEFILEBARCODE)
#   RUNDIR/transfer.log  the transfer log (NOMEFILELOG), written by the transfer
#   demo/prepare_run.sh RUNDIR
# An existing RUNDIR is replaced only when an earlier run made it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 1 ] || { echo "usage: $0 RUNDIR" >&2; exit 2; }
run=$(realpath -m "$1")
readonly marker=.scantora-demo-run
readonly job=P_G32001
readonly max_work_root=49 # the width of DISCO_SCARICO in the job record

if [ -e "$run" ]; then
    [ -e "$run/$marker" ] || { echo "$run exists and is not a demo run folder" >&2; exit 1; }
    rm -rf "$run"
fi
work_root=$run/work/
if [ ${#work_root} -gt $max_work_root ]; then
    echo "$work_root is longer than the $max_work_root characters a work area root may have" >&2
    exit 1
fi

mkdir -p "$run"
touch "$run/$marker"
cp -r "$here/setup" "$run/setup"
mkdir "$run/feeder" "$run/work" "$run/send" "$run/export"
cp "$here/pages"/* "$run/feeder/"

# The program takes only absolute paths for the work area; the others follow for a tidy run.
escaped=$(printf '%s' "$run" | sed 's/[&|\\]/\\&/g')
for key in DISCO_SCARICO INVIOA NOMEFILELOG NOMEFILEBARCODE; do
    sed -i "s|^$key=\([^/\\\\].*\)$|$key=$escaped/\1|" "$run/setup/$job"
done
