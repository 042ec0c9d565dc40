# Condition coverage end to end: files instrumented with -inst -cond by the
# full installation compile cleanly with gcc, compute what their sources
# compute, and record for every decision exactly the condition vectors and
# outcomes that the uninstrumented program evaluated. The archive describes
# the same decisions.
source "${QOR_E2E_LIB:?}" || exit 1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
unset QOR_COVERAGE_FILE

# The emitter's implicit default makes gcc see a fall-through into it.
WARN=(-Wall -Wextra -Werror -Wno-implicit-fallthrough)

# cond_build SOURCE FLAGS...: instruments and compiles SOURCE with
# condition coverage, builds ./inst from it and ./orig from the source.
cond_build() {
    local source=$1
    shift
    run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -cond -dial GNU -cc=gcc "${WARN[@]}" "$@" -c "$source"
    check_eq "$source $*: instrumented and compiled" "0:" "$rc:$err"
    gcc "$@" -o inst "${source%.c}.inst.o" && gcc "${WARN[@]}" "$@" -o orig "$source"
}

# same_run NAME: ./orig and ./inst print the same and end the same (a
# rewritten loop condition that never ends is stopped).
same_run() {
    local orig_out orig_rc
    run ./orig; orig_out=$out; orig_rc=$rc
    rm -f qor_coverage.dat
    run timeout 60 ./inst
    check_eq "$1: same output" "$orig_out" "$out"
    check_eq "$1: same exit status" "$orig_rc" "$rc"
}

# ---- The decision-coverage corpus ------------------------------------------

for level in -O0 -O2; do
    for file in branches constructs; do
        fresh; cp "$here/instrument/$file.c" .
        cond_build "$file.c" "$level"
        same_run "$file.c $level"
    done
done

# ---- Vectors ---------------------------------------------------------------

# vectors.c numbers its decisions 1 to 15 in source order and prints "c D K
# V" for each evaluated condition and "o D O" for each outcome. Its number
# of conditions per decision:
WIDTHS="1:2 2:2 3:3 4:3 5:2 6:1 7:2 8:2 9:2 10:2 11:2 12:1 13:2 14:2 15:2"

# expected_vectors: from the trace on stdin, the M lines that the run-time
# must write: per decision, true outcome first, vectors in character order.
# A condition seen twice in one evaluation would give a line "twice D K".
expected_vectors() {
    awk -v widths="$WIDTHS" '
        BEGIN { n = split(widths, w, " ")
                for (i = 1; i <= n; i++) { split(w[i], p, ":"); width[p[1]] = p[2] } }
        function blank(d,  s, i) { s = ""; for (i = 0; i < width[d]; i++) s = s "-"; return s }
        $1 == "c" { if (!($2 in vec)) vec[$2] = blank($2)
                    if (substr(vec[$2], $3 + 1, 1) != "-") print "twice", $2, $3
                    vec[$2] = substr(vec[$2], 1, $3) $4 substr(vec[$2], $3 + 2) }
        $1 == "o" { print $2, $3, (($2 in vec) ? vec[$2] : blank($2)); delete vec[$2] }
    ' | sort | uniq -c | awk '{ print "M", $2, $3, $4, $1 }' | LC_ALL=C sort -s -k2,2n -k3,3r -k4,4
}

# main() runs ifs(a, b, c) for a, b, c in 0..2 (2 is true too). By hand:
# decision 1, a && !b: a false 9 times (0-); a true 18 times, b false in
# 6 (10, true), b true in 12 (11, false).
# decision 3, a && (b || c): a false 9 times (0--); a and b true 12 (11-);
# a true, b false: c true 4 (101), c false 2 (100).
# decision 4, (a && b) || c: a false: c true 6 (0-1), c false 3 (0-0);
# a and b true 12 (11-); a true, b false: c true 4 (101), c false 2 (100).
BY_HAND='M 1 1 10 6
M 1 0 0- 9
M 1 0 11 12
M 3 1 101 4
M 3 1 11- 12
M 3 0 0-- 9
M 3 0 100 2
M 4 1 0-1 6
M 4 1 101 4
M 4 1 11- 12
M 4 0 0-0 3
M 4 0 100 2'

for level in -O0 -O2; do
    fresh; cp "$here/condition_coverage/vectors.c" .
    cond_build vectors.c "$level"
    # The output holds the trace and the count of cond() calls.
    same_run "vectors.c $level"
    check_eq "vectors.c $level: one record" 1 "$(grep -c '^END$' qor_coverage.dat)"
    check_eq "vectors.c $level: vectors of the trace" "$(./orig | expected_vectors)" \
        "$(grep '^M ' qor_coverage.dat)"
    check_eq "vectors.c $level: vectors by hand" "$BY_HAND" "$(grep -E '^M [134] ' qor_coverage.dat)"
    check_eq "vectors.c $level: every vector kept" "" "$(grep '^X ' qor_coverage.dat)"
    # Each M line follows the F line of the function that the archive
    # gives its decision.
    check_eq "vectors.c $level: decisions in their functions" \
        "$(sed -n 's/^{1, \([0-9]*\), "\([0-9]*\):.*/\2 \1/p' vectors.sta)" \
        "$(awk '$1 == "F" { f = $2 } $1 == "M" { print $2, f }' qor_coverage.dat | uniq)"
done

finish
