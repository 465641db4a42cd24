# The checks the tools' contract tests share, sourced by each: a failed check prints FAIL and
# is counted; finish prints the verdict and exits 1 when any check failed.
fails=0

fail() {  # fail TEXT...
    echo "FAIL $*"
    fails=$((fails + 1))
}

check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        fail "$1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  actual:   $(printf '%q' "$3")"
    fi
}

finish() {  # finish [LABEL]
    [ $fails -eq 0 ] && echo "${1:+$1: }all checks passed"
    exit $((fails > 0))
}
