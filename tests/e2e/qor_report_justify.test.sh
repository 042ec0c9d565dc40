# Justifications in qor_report coverage: a program built with -inst -cond
# whose source marks a decision's conditions, a branch and a region, and a
# justification file for the rest; how the reports show them, the
# warnings, the --fail-under limits and bad input.
source "${QOR_E2E_LIB:?}" || exit 1
REPORT="$QOR_FULL_STAGE/bin/qor_report"
unset QOR_COVERAGE_FILE

fresh
cat >prog.c <<'EOF'
#include <stdio.h>
#include <stdlib.h>

int classify(int a, int b)
{
    if (a > 0 && b > 0) /* qor-justify: mcdc b is positive whenever a is, in every caller */
        return 1;
    if (a < -100) // qor-justify: branch only a broken sensor reads below -100
        return 2;
    /* qor-justify-begin: line kept for the debugger */
    if (a == 12345)
        puts("magic");
    /* qor-justify-end */
    return 0;
}

int main(int argc, char **argv)
{
    printf("%d\n", classify(atoi(argv[1]), atoi(argv[2])));
    return 0;
}
EOF
"$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -cond -dial GNU -cc=gcc -c prog.c >build.log 2>&1
check_eq "built" 0 "$?"
gcc -o prog prog.o
run=0
for args in "1 1" "0 5" "-5 1"; do run=$((run + 1)); QOR_COVERAGE_LABEL=run$run ./prog $args >/dev/null; done
check_eq "three runs" 3 "$(unit_runs qor_coverage.*.dat)"

# ---- The markers ------------------------------------------------------------------

run "$REPORT" coverage --exclude '/usr/*' --lcov marked.info --fail-under-unique-cause 100 prog.sta qor_coverage.*.dat
check_rc "markers" 0
check_contains "a justified branch" "$out" \
    "             line 8    Else         branch 5   not(a<-100)                    taken 2 (runs 2-3)"
check_contains "a justified branch, not taken" "$out" "branch 4   a<-100                         taken 0  JUSTIFIED [2]"
check_contains "a justified condition" "$out" \
    "c2 unique-cause: not shown (never false), justified [1]; masking: not shown (never false), justified [1]"
check_contains "the section, with the reasons" "$out" "Justifications: 3
  [1] prog.c:6, line 6: mcdc: b is positive whenever a is, in every caller
      prog.c, classify: condition c1 (a>0) on line 6: unique-cause covered, masking covered
      prog.c, classify: condition c2 (b>0) on line 6: unique-cause justified, masking justified
  [2] prog.c:8, line 8: branch: only a broken sensor reads below -100"
# Branches: 4 of 6 taken, 1 justified, so 4 of the 5 not justified.
check_contains "totals" "$out" "branches 4/6 covered, 1 justified, 1 missed (80.0%), MC/DC unique-cause 1/2 covered, 1 justified, 0 missed (100.0%)"
check_contains "a covered line of the region warns" "$err" \
    "prog.c(10): Warning:  the justification justifies what was covered (line 11); it counts as covered"

run "$REPORT" coverage --exclude '/usr/*' --fail-under-decision 81 --json -o c.json .
check_rc "decision limit: justified items are not counted as covered" 3
check_eq "decision limit: the message" "qor_report: decision coverage 80.0% is below 81%" "$(grep '^qor_report: decision' <<<"$err")"
slurp json c.json
check_contains "JSON: the totals" "$json" $'"branches_justified": 1,\n    "mcdc_decisions": 1,'
check_contains "JSON: the justified counts of both criteria" "$json" \
    $'"unique_cause_shown": 1,\n    "masking_shown": 1,\n    "unique_cause_justified": 1,\n    "masking_justified": 1'
check_contains "JSON: a justification" "$json" $'"written_in": "prog.c",\n      "written_at": 8,\n      "from": "marker",\n      "file": "prog.c",\n      "function": "*",\n      "item": "8",\n      "criterion": "branch",\n      "reason": "only a broken sensor reads below -100",'
check_contains "JSON: what it matched" "$json" $'"item": "branch",\n          "line": 8,\n          "branch": 4,\n          "kind": "If",\n          "status": "justified"'

# ---- A justification file -----------------------------------------------------------

printf '# file\tfunction\titem\tcriteria\treason\n\nprog.c\tclassify\t11\tbranch\tthe magic value is a debugging aid\n*.c\tgone\t*\tall\tremoved with the old parser\n' >j.tsv
run "$REPORT" coverage --exclude '/usr/*' --justify j.tsv --fail-under-decision 100 --lcov justified.info --html c.html .
check_rc "file: every missed branch justified" 0
check_contains "file: the branch" "$out" "branch 6   a==12345                       taken 0  JUSTIFIED [4]"
check_contains "file: in the section" "$out" "  [4] j.tsv:3, line 11 of classify in files matching 'prog.c': branch: the magic value is a debugging aid"
check_contains "file: a stale entry warns" "$err" \
    "j.tsv(4): Warning:  stale justification, nothing to justify for 'all' on every line of gone in files matching '*.c'"
check_contains "file: the stale entry in the section" "$out" "  [5] j.tsv:4, every line of gone in files matching '*.c': all: removed with the old parser
      matches nothing (stale)"
check_eq "LCOV has no place for justifications" "$(cat marked.info)" "$(cat justified.info)"
page=$(ls c_files/*-prog.c.html)
check_contains "HTML: the file's justifications" "$(cat "$page")" "<td>branch</td><td>the magic value is a debugging aid</td>"
check_contains "HTML: the index's bars" "$(cat c.html)" "4/6, 2 justified (100.0%)"

# ---- Bad input ------------------------------------------------------------------------

printf 'prog.c\tclassify\tline 11\tbranch\twhy\nprog.c\tclassify\t11\tdecision\twhy\n' >bad.tsv
sed -i 's|qor-justify: branch only a broken sensor reads below -100|qor-justify: branch|' prog.c
run "$REPORT" coverage --exclude '/usr/*' --justify bad.tsv --justify missing.tsv .
check_rc "bad input" 1
check_contains "a marker without a reason" "$err" "prog.c(8): Error:  the justification gives no reason"
check_contains "a bad item" "$err" "bad.tsv(1): Error:  bad item 'line 11' (a line, FIRST-LAST or *)"
check_contains "an unknown criterion" "$err" "bad.tsv(2): Error:  unknown criterion 'decision' (line, branch, mcdc or all)"
check_contains "a missing file" "$err" "missing.tsv: Error:  No such file or directory"
check_contains "the report is still written" "$out" "branch 4   a<-100                         taken 0  NOT TAKEN"

finish
