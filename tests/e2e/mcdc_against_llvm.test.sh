# Condition coverage against clang's source-based MC/DC: random decisions
# of 1 to 6 conditions (&&, ||, !, parentheses, nesting, conditions that
# count calls or change a counter; in ifs, loops, ?:, assignments and
# returned values) are built once by the full installation's qor_cc -inst
# -cond with gcc and once by clang 19 with -fcoverage-mcdc, and both
# programs run on the same rows of the decisions' truth tables. For every
# decision of two or more conditions that clang measures (neither tool
# measures the MC/DC of one condition):
# - the distinct evaluations (vector of condition values and outcome)
#   that qor_report lists are those that llvm-cov lists;
# - unique-cause computed from qor_cc's own vectors with llvm-cov's
#   definition gives llvm-cov's verdict for every condition, which shows
#   that the conditions of one tool are mapped right onto the other's;
# - qor_report's unique-cause verdict of every condition is llvm-cov's.
# - every condition shown under unique-cause is shown under masking.
# QOR_MCDC_SEED chooses other programs; without clang 19 the test is
# skipped.
source "${QOR_E2E_LIB:?}" || exit 1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${QOR_MCDC_PROGRAMS:?QOR_MCDC_PROGRAMS must name the program generator}"
unset QOR_COVERAGE_FILE LLVM_PROFILE_FILE

SEED=${QOR_MCDC_SEED:-1}
PROGRAMS=8 DECISIONS=50
MCDC=(-fprofile-instr-generate -fcoverage-mapping -fcoverage-mcdc)

for tool in clang-19 llvm-profdata-19 llvm-cov-19; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

# build_both P: P.c instrumented by qor_cc and compiled by gcc into
# ./P.qor (archive P.sta), and compiled by clang with MC/DC into ./P.llvm
# (its warnings, which name the decisions it leaves out, in P.warn).
build_both() {
    run "$QOR_FULL_STAGE/bin/qor_cc" -batch -quiet -inst -cond -dial GNU -cc=gcc -c "$1.c"
    check_eq "$1.c: instrumented and compiled" "0:" "$rc:$err"
    gcc -o "$1.qor" "$1.o"
    clang-19 "${MCDC[@]}" -o "$1.llvm" "$1.c" 2>"$1.warn"
    check_eq "$1.c: compiled by clang" 0 "$?"
}

# run_both P: both programs compute the same; the qor_cc build appends
# its record to qor_coverage.dat, the clang build's coverage is listed
# into P.cov.
run_both() {
    local qor_out
    run "./$1.qor"; qor_out=$out
    run env LLVM_PROFILE_FILE="$1.profraw" "./$1.llvm"
    check_eq "$1: same output both ways" "$qor_out:0" "$out:$rc"
    llvm-profdata-19 merge -o "$1.profdata" "$1.profraw" &&
        llvm-cov-19 show -show-mcdc "./$1.llvm" -instr-profile="$1.profdata" "$1.c" >"$1.cov"
}

# lines SUBJECT: the lines of the comparison about SUBJECT, without it.
lines() { sed -n "s/^$1 //p" <<<"$result"; }

fresh
"$QOR_MCDC_PROGRAMS" "$SEED" "$PROGRAMS" "$DECISIONS" || exit 1
programs=$(seq -f 'p%g' "$PROGRAMS")
for p in $programs; do
    build_both "$p"
    run_both "$p"
done
run "$QOR_FULL_STAGE/bin/qor_report" coverage --json -o qor.json ./*.sta qor_coverage.dat
check_eq "qor_report" "0:" "$rc:$err"

result=$(awk -f "$here/mcdc_against_llvm/compare.awk" \
    $(for p in $programs; do echo "$p.map $p.warn $p.cov"; done) qor.json)
lines skip | sed 's/^/skipped /'
compared=$(lines compared)
compared=${compared:-0}
single=$(lines single)
measured=$((PROGRAMS * DECISIONS - ${single:-0}))
echo "seed $SEED: $compared of $measured decisions of two or more conditions compared" \
    "(and ${single:-0} of one condition, which both leave to branch coverage);" \
    "evaluations differ in $(lines vectors | grep -vc '^ ')," \
    "reference unique-cause in $(lines reference | grep -vc '^ ')," \
    "qor_report's unique-cause in $(lines verdict | grep -vc '^ ')"
# Clang leaves out only the decisions with a negated && or || inside
# another, some 5 to 8 in 100.
check_eq "most decisions compared" 1 "$((compared * 10 >= measured * 8))"
check_eq "evaluations as llvm-cov's" "" "$(lines vectors)"
check_eq "unique-cause from qor_cc's vectors as llvm-cov's" "" "$(lines reference)"
check_eq "qor_report's unique-cause as llvm-cov's" "" "$(lines verdict)"
check_eq "masking shows what unique-cause shows" "" "$(lines masking)"

finish
