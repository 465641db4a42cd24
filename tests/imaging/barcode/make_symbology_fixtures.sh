#!/usr/bin/env bash
# Writes the module rows of real zint symbols, one "<name>.dump" per symbol (zint's hexadecimal
# dump: one bit per module, 1 = bar), for the symbology decoder tests, and the A4 pages of
# make_symbology_pages.sh into OUTDIR/pages.
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out"

# name | zint barcode type | data (zint escapes allowed)
while IFS='|' read -r name type data; do
    [ -z "$name" ] && continue
    zint -b "$type" --esc --dump -d "$data" > "$out/$name.dump"
done <<'LIST'
i25_2|3|12
i25_4|3|1234
i25_10|3|0123456789
i25_18|3|987654321098765432
iata_15|4|123456789012345
iata_14|4|12345678901234
iata_16|4|1234567890123456
codabar_ab|18|A1B
codabar_bc|18|B4567C
codabar_cd|18|C890D
codabar_da|18|D-$:/.+A
codabar_aa|18|A0123A
codabar_4digits|18|A1234B
codabar_3digits|18|A123B
c128_b|20|Hello World
c128_c|20|1234567890
c128_a|20|ABC\tDEF\n
c128_mixed|20|Code 128 1234567890 set changes
c128_shift|20|AB\tc\tD
c128_long|20|abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ
gs1_128|16|[10]ABC123[01]12345678901231
ean13_0|13|012345678905
ean13_1|13|123456789012
ean13_2|13|234567890123
ean13_3|13|345678901234
ean13_4|13|456789012345
ean13_5|13|567890123456
ean13_6|13|678901234567
ean13_7|13|789012345678
ean13_8|13|890123456789
ean13_9|13|901234567890
upca|34|01234567890
upca_2|34|72527273070
ean8|13|1234567
ean8_2|13|9638507
c93_plain|25|CODE 93-$/+%.
c93_ascii|25|Hello, world!
c93_control|25|a\rb\tc@[~
c93_long|25|ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789
c93_one|25|X
LIST

"$(dirname "$0")/make_symbology_pages.sh" "$out/pages"
