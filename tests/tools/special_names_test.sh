#!/usr/bin/env bash
# Every tool refuses the library's special names (memory images, directory offsets) as file
# arguments with exit status 1 and one line naming the "./" form; a real file of such a name is
# reached through that form.
#   special_names_test.sh TOOLS_DIR WORK_DIR
set -uo pipefail
tools=$1
work=$2
. "$(dirname "$0")/checks.sh"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

printf 'P1\n16 2\n1111000011110000\n0000111100001111\n' > page.pbm
convert page.pbm -compress Group4 page.tif || exit 1

# One command per tool: NAME stands for the file argument under test.
commands=(
    "pixdoc-info NAME"
    "pixdoc-decode NAME out.pbm"
    "pixdoc-decode page.tif NAME"
    "pixdoc-barcode page.tif NAME"
    "barlynx-read NAME"
    "pixdoc-encode NAME out.tif"
    "pixdoc-encode page.pbm NAME"
)
names=("MD:4096" "ML:4096,100,100,200,200,1,0,0" "TH:8,page.tif")

for command in "${commands[@]}"; do
    for name in "${names[@]}"; do
        line=${command//NAME/$name}
        read -r -a argv <<< "$line"
        "$tools/${argv[0]}" "${argv[@]:1}" > /dev/null 2> err.txt
        status=$?
        [ $status -eq 1 ] || fail "$line: exit status $status"
        [ "$(wc -l < err.txt)" -eq 1 ] || fail "$line: expected one line on stderr"
        grep -qF "./$name" err.txt || fail "$line: message does not name ./$name"
    done
done

# A real file of such a name, reached as ./MD:...
cp page.tif "MD:4096"
"$tools/pixdoc-info" ./MD:4096 > info.txt || fail "./MD:4096 not opened"
grep -q "^width: 16$" info.txt || fail "./MD:4096: wrong header"
"$tools/pixdoc-decode" ./MD:4096 ./ML:out.pbm || fail "./ML:out.pbm not written"
convert page.pbm want.pbm
cmp -s want.pbm "ML:out.pbm" || fail "./ML:out.pbm differs from the page"

finish "special names"
