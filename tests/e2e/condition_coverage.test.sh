# Condition coverage end to end: files instrumented with -inst -cond by the
# full installation compile cleanly with gcc, compute what their sources
# compute, and record for every decision exactly the condition vectors and
# outcomes that the uninstrumented program evaluated. The archive describes
# the same decisions.
source "${QOR_E2E_LIB:?}" || exit 1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
unset QOR_COVERAGE_FILE

# branches.c falls through into a case label on purpose.
WARN=(-Wall -Wextra -Werror -Wno-implicit-fallthrough)

# cond_build SOURCE FLAGS...: instruments and compiles SOURCE with
# condition coverage, builds ./inst from it and ./orig from the source.
cond_build() {
    local source=$1
    shift
    run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -cond -dial GNU -cc=gcc "${WARN[@]}" "$@" -c "$source"
    check_eq "$source $*: instrumented and compiled" "0:" "$rc:$err"
    gcc "$@" -o inst "${source%.c}.o" && gcc "${WARN[@]}" "$@" -o orig "$source"
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

for level in -O0 -O2; do
    fresh; cp "$here/condition_coverage/vectors.c" .
    cond_build vectors.c "$level"
    # The output holds the trace and the count of cond() calls.
    same_run "vectors.c $level"
    data=$(coverage_text qor_coverage.dat)
    check_eq "vectors.c $level: one record" 1 "$(grep -c '^END$' <<<"$data")"
    check_eq "vectors.c $level: vectors of the trace" "$(./orig | expected_vectors)" "$(grep '^M ' <<<"$data")"
    check_eq "vectors.c $level: every vector kept" "" "$(grep '^X ' <<<"$data")"
    # Each M line follows the F line of the function that the archive
    # gives its decision.
    check_eq "vectors.c $level: decisions in their functions" \
        "$(sed -n 's/^{1, \([0-9]*\), "\([0-9]*\):.*/\2 \1/p' vectors.sta)" \
        "$(awk '$1 == "F" { f = $2 } $1 == "M" { print $2, f }' <<<"$data" | uniq)"
done

# ---- The archive -----------------------------------------------------------

schema="*FI*
$(cat "$here/condition_coverage/archive_schema.expected")"
sta=$(cat vectors.sta)
check_contains "archive: schema and sources" "$sta" "$schema
source_description ::= {
{1, \"vectors.c\"}
}
component_description ::= {
{1, \"vectors.c/cond\"},
{2, \"vectors.c/out\"},
{3, \"vectors.c/same\"},
{4, \"vectors.c/twice\"},
{5, \"vectors.c/ifs\"},
{6, \"vectors.c/plus\"},
{7, \"vectors.c/loops\"},
{8, \"vectors.c/others\"},
{9, \"vectors.c/main\"}
}
mcdc_description ::= {
{1, 5, \"1:"
check_contains "archive: ends with the descriptions" "$(tail -n 2 vectors.sta)" $'}\nEND'

# Each record lists its conditions cond(D,0), cond(D,1)... in order, then
# the same ones in its expression: numbering, order and count agree with
# the source.
check_eq "archive: conditions of each record" "" "$(awk -F: '/^\{1, [0-9]+, "/ {
        d = $1; sub(/.*"/, "", d); want = ""
        for (r = 0; r < 2; r++) for (k = 0; k < $4; k++) want = want " cond(" d "," k
        got = ""; s = $0
        while (match(s, /cond\([0-9]+,[0-9]+/)) { got = got " " substr(s, RSTART, RLENGTH); s = substr(s, RSTART + RLENGTH) }
        if (got != want) print "record " d ":" got }' vectors.sta)"

# The true set and the false set of each record, from the operators: a && b
# is true for 11, false for 10 and 0-; a || b true for 01 and 1-, false for
# 00; !a true for 0, false for 1.
check_eq "archive: vector sets" "$(cat "$here/condition_coverage/vector_sets.expected")" "$(sed -n 's/^{1, [0-9]*, "\(.*\)"},*$/\1/p' vectors.sta | awk -F: '{
        gsub(/\\\\:/, "#"); s = $(5 + $4)
        for (i = 6 + $4; i < NF; i++) s = s ":" $i
        print $1, s }')"

# Whole records: the last clause of a for (no branch of its own, the
# expression in brackets), and a string whose quotes and colon are escaped.
check_contains "archive: for, last clause" "$sta" \
    '{1, 7, "12:77:0:1:cond(12,0,i%2):1:0:1:1:( !cond(12,0,i%2))"},'
check_contains "archive: escaped condition" "$sta" \
    '{1, 8, "15:101:5:2:cond(15,0,s!=0):cond(15,1,same(s,\"a\\:b\")):1:11:2:10:0-:(cond(15,0,s!=0) && cond(15,1,same(s,\"a\\:b\")))"}
}
END'

# ---- No functions -----------------------------------------------------------

# Logical operators of initializers at file scope are no decisions: the
# text stays as it is, and the archive describes nothing, not even the
# source.
fresh
cat >data.c <<'C'
struct pair { int a, b; };
const int flags = 1 && 0;
int table[2] = { 1 || 0, !2 };
struct pair p = { sizeof(int) > 2 && sizeof(long) > 2, 0 };
C
run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -cond -dial GNU -cc=gcc "${WARN[@]}" -c data.c
check_eq "no functions: compiled" "0:" "$rc:$err"
check_contains "no functions: initializers kept" "$(cat data.inst.c)" \
    "const int flags = 1 && 0 ; "$'\n'"int table [ 2 ] = { 1 || 0 , ! 2 } ; "
check_contains "no functions: empty descriptions" "$(cat data.sta)" "$schema
source_description ::= {
}
component_description ::= {
}
mcdc_description ::= {
}
END"

# ---- Texts -------------------------------------------------------------------

fresh
cat >shapes.c <<'C'
int f(int a, int b) { if (a && !b) return 1; while (a || b) a--; return 0; }
int h(int x);
int g(int a, int b) { if ((a && b)) return h(a) || b; return 0; }
C
run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -cond -dial GNU -cc=gcc "${WARN[@]}" -c shapes.c
check_eq "shapes: compiled" "0:" "$rc:$err"
inst=$(cat shapes.inst.c)
check_contains "if (a && !b)" "$inst" \
    'if ( QVX_CM_0(0,f,1,1,2,2,1, (QVX_EVAL_0(0, 0, a) &&  ! QVX_EVAL_0(0, 1, b))) ) {'
check_contains "while (a || b)" "$inst" \
    'while ( QVX_CM_0(1,f,1,1,4,2,2, (QVX_EVAL_0(1, 0, a) || QVX_EVAL_0(1, 1, b))) ) {'
check_contains "parentheses around a decision stay" "$inst" \
    'if ( ( QVX_CM_0(0,g,2,3,2,2,3, (QVX_EVAL_0(0, 0, a) && QVX_EVAL_0(0, 1, b))) ) ) {'
check_contains "a call in a condition keeps its probe" "$inst" \
    'return QVX_CM_0(1,g,2,3,0,2,4, (QVX_EVAL_0(1, 0, (QVX_CALL(g,2,1,0,1),h ( a ) )) || QVX_EVAL_0(1, 1, b))) ; }'

# Decisions whose vectors would not fit: 600 conditions joined by && (601
# vectors of 600 values) and 13 (a || b) groups (16383 vectors) keep their
# text and get a warning; a smaller one beside them is still rewritten.
fresh
chain=a groups="(a || b)"
for i in $(seq 599); do chain="$chain && a"; done
for i in $(seq 12); do groups="$groups && (a || b)"; done
printf 'int f(int a, int b)
{
    if (%s) return 1;
    if (%s) return 2;
    return a || b;
}
' \
    "$chain" "$groups" >wide.c
run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -cond -dial GNU -cc=gcc -c wide.c
check_eq "too complex: a warning each, compiled" "0" "$rc"
check_eq "too complex: the warnings" \
    "$(printf 'wide.c(3): Warning:  %s\nwide.c(4): Warning:  %s' \
        "decision too complex for condition coverage, too many conditions or condition vectors" \
        "decision too complex for condition coverage, too many conditions or condition vectors")" \
    "$(grep Warning <<<"$err")"
check_eq "too complex: only the small decision rewritten" 1 "$(grep -c 'QVX_CM_0' wide.inst.c)"

finish
