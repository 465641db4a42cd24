#!/usr/bin/env bash
# A SANE configuration folder with the test backend alone: two frontend-tester devices whose
# resolution moves in steps of 25 dpi, so that a value in between is read back as the device
# takes it. Tests point SANE_CONFIG_DIR at it.
set -euo pipefail
out=$1
mkdir -p "$out"
printf 'test\n' >"$out/dll.conf"
cat >"$out/test.conf" <<'CONF'
number_of_devices 2
mode Gray
depth 8
resolution_min 25.0
resolution_max 600.0
resolution_quant 25.0
resolution 75.0
test-picture "Grid"
read-status-code "Default"
geometry_min 0.0
geometry_max 200.0
geometry_quant 1.0
tl_x 0.0
tl_y 0.0
br_x 60.0
br_y 80.0
CONF
