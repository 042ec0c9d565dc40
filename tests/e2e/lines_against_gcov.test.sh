# Line coverage against gcc's own: random programs of nested ifs, loops,
# switches and jumps (see lines_against_gcov/flow_programs.cpp) are built
# once by the full installation's qor_cc -inst with gcc and once by gcc
# --coverage, both run, and for every line that both qor_report's LCOV
# tracefile and gcov report, both say run or both say not run. The HTML
# colours no line green that gcov says never ran. QOR_FLOW_SEED chooses
# other programs.
source "${QOR_E2E_LIB:?}" || exit 1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${QOR_FLOW_PROGRAMS:?QOR_FLOW_PROGRAMS must name the program generator}"
unset QOR_COVERAGE_FILE

SEED=${QOR_FLOW_SEED:-1}
PROGRAMS=6 FUNCTIONS=8

fresh
mkdir gcc qor
(cd qor && "$QOR_FLOW_PROGRAMS" "$SEED" "$PROGRAMS" "$FUNCTIONS") || exit 1
programs=$(seq -f 'p%g' "$PROGRAMS")
for p in $programs; do
    cp "qor/$p.c" gcc/
    (cd gcc && gcc --coverage -o "$p" "$p.c" && ./"$p" >"$p.out" && gcov -t "$p.c" >"$p.c.gcov" 2>/dev/null)
    check_eq "$p: built and run by gcc --coverage" 0 "$?"
    (cd qor && "$QOR_FULL_STAGE/bin/qor_cc" -batch -quiet -inst -dial GNU -cc=gcc -o "$p" "$p.c" &&
        ./"$p" >"$p.out")
    check_eq "$p: built and run by qor_cc -inst" 0 "$?"
    check_eq "$p: same output both ways" "$(cat "gcc/$p.out")" "$(cat "qor/$p.out")"
done
run "$QOR_FULL_STAGE/bin/qor_report" coverage --lcov qor/qor.info --html qor/qor.html qor/*.sta qor/qor_coverage.dat
check_eq "qor_report" "0:" "$rc:$err"

result=$(awk -f "$here/lines_against_gcov/compare.awk" gcc/*.c.gcov qor/qor.info)
compared=$(sed -n 's/^compared //p' <<<"$result")
echo "seed $SEED: $compared lines compared, $(grep -c '^differ' <<<"$result") differ"
check_eq "many lines compared" 1 "$((compared >= PROGRAMS * FUNCTIONS * 10))"
check_eq "run or not run as gcov says" "" "$(grep '^differ' <<<"$result")"

# The page of a program: no line that gcov says never ran is green.
for p in $programs; do
    page=$(ls qor/qor_files/*-"$p".c.html)
    green=$(sed -n 's/^<tr class="ok" id="[^"]*-\([0-9]*\)".*/\1/p' "$page")
    never=$(awk '{ split($0, f, ":"); c = f[1]; gsub(/ /, "", c); if (c == "#####") print f[2] + 0 }' "gcc/$p.c.gcov")
    check_eq "$p: no never-run line green" "" "$(comm -12 <(sort <<<"$green") <(sort <<<"$never"))"
done

finish
