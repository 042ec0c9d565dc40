# Dynamic mode: the instrumented copy of a file compiles, computes what the
# source computes, and its probes fire exactly as often as the branches,
# functions and calls run. The instrumentation script here writes a header
# whose probes print a trace line each.
source "${QOR_E2E_LIB:?}" || exit 1
sources="$(cd "$(dirname "${BASH_SOURCE[0]}")/instrument" && pwd)"

cat >"$scratch/trace.tcl" <<'TCL'
proc Instrument {} {
    global qvx_header qvx_func
    set f [open $qvx_header w]
    puts $f {extern int qvx_dprintf(int, const char *, ...) __asm__("dprintf");}
    puts $f {#define QVX_CD1(F,N) qvx_dprintf(2, "enter %s\n", #F);}
    puts $f {#define QVX_CDF(F,N) qvx_dprintf(2, "exit %s\n", #F);}
    puts $f {#define QVX_CDX(F,N,B) qvx_dprintf(2, "branch %s %d\n", #F, B);}
    puts $f {#define QVX_CALL(F,N,C,K,M) qvx_dprintf(2, "call %s %d %d %d\n", #F, C, K, M)}
    puts $f "/* qvx_func: $qvx_func */"
    close $f
}
TCL
export QOR_INSTRUMENT_TCL="$scratch/trace.tcl"

# instrument SOURCE [OPTION...]: instruments and compiles SOURCE with the
# full installation, then links and runs both builds.
instrument() {
    local source=$1
    shift
    run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -dial GNU -cc=gcc "$@" -c "$source"
    check_eq "$source $*: no message" "" "$err"
    gcc "$@" -o inst "${source%.c}.o" && ./inst >inst.out 2>trace.txt
    gcc "$@" -o orig "$source" && ./orig >orig.out
    check_eq "$source $*: same output" "$(cat orig.out)" "$(cat inst.out)"
}

# Every decision of branches.c, counted by hand from its four calls
# show(-5), show(0), show(12), show(2): branch numbers as in its archive.
expected_trace=$(cat "$sources/branches_trace.expected")
for level in -O0 -O2; do
    fresh; cp "$sources/branches.c" .
    instrument branches.c "$level"
    check_eq "branches.c $level: every probe as often as it ran" "$expected_trace" \
        "$(sort trace.txt | uniq -c | sort -k2,3 -k4n)"
done
check_contains "qvx_func: name, number, branches, calls, callees" "$(cat branches.inst.h)" \
    "qvx_func: {branches.c/sq 1 1 0 0 0 {} 0 0} {classify 2 22 1 1 0 {} 0 0} {show 3 3 2 2 0 {} 0 0} {branches.c/main 4 1 4 1 0 {} 0 0}"
check_starts "the header is the first line" "$(cat branches.inst.c)" '#include "branches.inst.h"'

# Every construct of the emitter in one program: the same output at each
# optimisation level, and probe counts that agree with gcc's own coverage
# counts of the original: function entries and exits, and the true branch
# of each if, while and for whose body starts on the next line.
for level in -O0 -O1 -O2 -O3; do
    fresh; cp "$sources/constructs.c" .
    instrument constructs.c "$level" -Wall -Wextra
done
gcc --coverage -O0 -o covered constructs.c && ./covered >/dev/null
gcov -b -t -o covered-constructs constructs.c >gcov.txt 2>/dev/null
sort trace.txt | uniq -c >counts.txt
entries=$(awk '/^function/ { print $2, $4 }' gcov.txt | sort)
check_eq "function entries as gcc counts them" "$entries" "$(awk '$2 == "enter" { print $3, $1 }' counts.txt | sort)"
check_eq "function exits as gcc counts them" "$entries" "$(awk '$2 == "exit" { print $3, $1 }' counts.txt | sort)"
# "function number kind line" for each decision of the archive, then the
# count gcc gives the line after it when the decision's line ends there.
awk '/^\*MO\*/ { getline; name = $1 } /^\.CD\./ { cd = 1; next } /^\*/ { cd = 0 }
     cd && ($2 == "If" || $2 == "While" || $2 == "For-Loop") { print name, $1, $3 }' constructs.sta >decisions.txt
checked=0 mismatched=""
while read -r function number line; do
    source_line=$(sed -n "${line}p" constructs.c)
    [[ "$source_line" =~ [\){][[:space:]]*$ ]] || continue
    expected=$(awk -F: -v l=$((line + 1)) '$2 + 0 == l && $1 !~ /-|#/ { gsub(/ /, "", $1); print $1 + 0; exit }' gcov.txt)
    actual=$(awk -v f="$function" -v n="$number" '$2 == "branch" && $3 == f && $4 == n { print $1 }' counts.txt)
    checked=$((checked + 1))
    [ "${actual:-0}" = "${expected:-0}" ] || mismatched+=" $function:$number(line $line: ${actual:-0} vs gcc ${expected:-0})"
done <decisions.txt
check_eq "true branches as gcc counts their first lines" "" "$mismatched"
check_eq "true branches compared" 1 "$((checked >= 8))"

# The installation's run-time: the coverage data of two runs of the same
# program, under labels of their own, holds in each section the counts
# that the traced build showed.
mkdir real && cd real || exit 1
cp ../constructs.c .
QOR_INSTRUMENT_TCL= run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -dial GNU -cc=gcc -O2 -c constructs.c
check_eq "run-time header: no message" "" "$err"
gcc -O2 -o real constructs.o
for i in 1 2; do QOR_COVERAGE_FILE=$PWD/coverage.dat QOR_COVERAGE_LABEL=run$i ./real >real.out; done
check_eq "run-time: same output" "$(cat ../inst.out)" "$(cat real.out)"
check_eq "run-time: a file per label" "2 2" \
    "$(coverage_text coverage.run[12].dat | grep -c '^END$') $(unit_runs coverage.run[12].dat)"
first_record() { coverage_text coverage.run1.dat | awk '/^END$/ { exit } { print }'; }
check_eq "run-time: function entries and exits" \
    "$(awk '$2 == "enter" || $2 == "exit" { print $3, $2, $1 }' ../counts.txt | sort)" \
    "$(first_record | awk '$1 == "F" && $3 > 0 { name = $5; sub(/.*\//, "", name); print name, "enter", $3; print name, "exit", $4 }' | sort)"
check_eq "run-time: branches" "$(awk '$2 == "branch" { print $3, $4, $1 }' ../counts.txt | sort)" \
    "$(first_record | awk '$1 == "F" { name = $5; sub(/.*\//, "", name) }
        $1 == "B" { for (i = 2; i <= NF; i++) if ($i > 0) print name, i - 2, $i }' | sort)"
check_eq "run-time: calls" "$(awk '$2 == "call" { n[$3 " " $4] += $1 } END { for (k in n) print k, n[k] }' ../counts.txt | sort)" \
    "$(first_record | awk '$1 == "F" { name = $5; sub(/.*\//, "", name) }
        $1 == "C" { for (i = 2; i <= NF; i++) if ($i > 0) print name, i - 1, $i }' | sort)"
# Twenty runs at the same time, without a label: all added up.
for i in $(seq 20); do QOR_COVERAGE_FILE=$PWD/coverage.dat ./real >/dev/null & done
wait
check_eq "run-time: parallel runs added up" "1 20" "$(coverage_text coverage.dat | grep -c '^END$') $(unit_runs coverage.dat)"
check_eq "run-time: parallel runs, every count" \
    "$(first_record | awk '$1 == "F" { n += 20 * $3 } END { print n }')" \
    "$(coverage_text coverage.dat | awk '/^QVX-SUM 1 20$/ { s = 1 } s && $1 == "F" { n += $3 } /^END$/ { s = 0 } END { print n }')"
cd .. || exit 1

# The GNU C corpus instrumented: every file compiles, and the program
# prints what the original prints.
fresh; cp "$sources"/../gnu_c/*.[ch] .
run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -dial GNU -cc=gcc -O2 -c headers.c list.c strbuf.c sysdep.c table.c
check_eq "GNU corpus instrumented: no message" "" "$err"
gcc -O2 -o inst headers.o -lpthread -lm && ./inst a b >inst.out 2>/dev/null
gcc -O2 -o orig headers.c -lpthread -lm && ./orig a b >orig.out
check_eq "GNU corpus instrumented: same output" "$(cat orig.out)" "$(cat inst.out)"

# Statement expressions holding statements, inside a returned value, a
# call's arguments and conditions: both modes compile without a message
# and print what the original prints.
for mode in "" -cond; do
    fresh; cp "$sources/statement_expressions.c" .
    QOR_INSTRUMENT_TCL= run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst $mode -dial GNU -cc=gcc -Wall -Wextra \
        -c statement_expressions.c
    check_eq "statement expressions $mode: no message" "" "$err"
    gcc -o inst statement_expressions.o && QOR_COVERAGE_FILE=$PWD/coverage.dat ./inst >inst.out
    gcc -o orig statement_expressions.c && ./orig >orig.out
    check_eq "statement expressions $mode: same output" "$(cat orig.out)" "$(cat inst.out)"
done

# The texts of single constructs.
fresh
cat >shapes.c <<'C'
void y(void);
void f(int x) { if (x) y(); }
int g(int n) { while (n) { switch (n) { case 1: break; } if (n > 5) break; n--; } return 0; }
C
run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -dial GNU -c shapes.c
inst=$(cat shapes.inst.c)
check_contains "if without else" "$inst" $'if ( x ) {\nQVX_CDX(f,1,2)\n(QVX_CALL(f,1,1,0,1),y ( ) ); }\nelse\n QVX_CDX(f,1,3)\n'
check_contains "a void function reports its end" "$inst" $'{QVX_CDF(f,1)\n}\n}}'
check_contains "break in a switch stays" "$inst" $'case 1 : if (!qvxbool) {\n qvxbool = 1;\n QVX_CDX(g,2,3)\n}\nbreak ; '
check_contains "break in a loop leaves the loop" "$inst" $'{ qvxbrk = 1;\n break;}'
check_contains "implicit default, after the switch" "$inst" $'break ; } \nif (!qvxbool) QVX_CDX(g,2,4)\n}\n'
check_count "return 0 at the end: one exit probe" "$inst" "QVX_CDF(g,2)" 1
check_contains "ends with a line feed" "$(tail -c 3 shapes.inst.c | od -c)" '\n'

# The built-ins whose value the compiler computes get no call probe: around
# one, the value would be no constant. The calls in their arguments keep
# theirs.
fresh
cat >computed.c <<'C'
int printf(const char *, ...);
static int f(int x) { return x + 1; }
int main(void)
{
    int x = 2;
    printf("%d %d\n", __builtin_choose_expr(__builtin_constant_p(2 || x), f(x), 0),
           __builtin_constant_p(__builtin_constant_p(x)));
    return 0;
}
C
gcc -o plain computed.c && run ./plain
check_eq "computed built-ins: their values in the plain build" "3 1" "$(printf '%s' "$out")"
for mode in -inst "-inst -cond"; do
    QOR_INSTRUMENT_TCL= run "$QOR_FULL_STAGE/bin/qor_cc" -batch $mode -dial GNU -cc=gcc -o computed computed.c
    check_eq "computed built-ins $mode: compiled" "0:" "$rc:$err"
    run ./computed
    check_eq "computed built-ins $mode: their values" "3 1" "$(printf '%s' "$out")"
    check_count "computed built-ins $mode: probes of printf and f only" "$(cat computed.inst.c)" "QVX_CALL(" 2
done

# Macros left unexpanded keep their definitions for the compiler; the date
# that the script leaves in qvx_date is the archive's.
fresh
cat >macros.c <<'C'
#define SQUARE(x) ((x) * (x))
#define LIMIT 10
int f(int a) { return SQUARE(a) + LIMIT; }
#undef LIMIT
int main(void) { return f(2) - 14; }
C
echo "SQUARE LIMIT" >names.mac
cp "$scratch/trace.tcl" dated.tcl
echo 'rename Instrument traced; proc Instrument {} { traced; set ::qvx_date 01/02/03-04:05:06 }' >>dated.tcl
QOR_INSTRUMENT_TCL=$PWD/dated.tcl run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -dial GNU -mac names.mac -cc=gcc -c macros.c
check_eq "unexpanded macros: compiled" "" "$err"
check_contains "unexpanded macros: definitions kept" "$(cat macros.inst.c)" \
    $'#define SQUARE(x) ((x) * (x))\n#define LIMIT 10\nint f ( int a )'
check_contains "unexpanded macros: #undef kept" "$(cat macros.inst.c)" $'} }\n#undef LIMIT\nint main'
gcc -o macros macros.o && ./macros 2>/dev/null
check_eq "unexpanded macros: same result" 0 "$?"
check_contains "date from the script" "$(cat macros.sta)" $'*MO*\nf 01/02/03-04:05:06\n'

# A file without functions: the include, the text, no function.
fresh
printf 'int table[2] = { 1, 2 };\n' >data.c
run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -dial GNU -c data.c
check_contains "no functions: empty qvx_func" "$(cat data.inst.h)" "qvx_func:  */"
check_contains "no functions: the text" "$(cat data.inst.c)" "int table [ 2 ] = { 1 , 2 } ; "

# A script without Instrument ends the run.
fresh; mk_c a.c
printf 'set loaded 1\n' >"$scratch/empty.tcl"
QOR_INSTRUMENT_TCL="$scratch/empty.tcl" run "$QOR" -batch -inst -nocccp -c a.c
check_contains "no Instrument command" "$err" 'No TCL command "Instrument" available for instrumentation'
check_eq "no Instrument command: fatal status" 2 "$rc"

# With condition coverage the entry declares the function's MC/DC state,
# and the archive ends with the three description sections.
schema=$(cat "$sources/../condition_coverage/archive_schema.expected")
fresh; cp "$sources/../results_files/a.c" "$sources/../results_files/nofunc.c" .
run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -cond -nodate -dial GNU -c a.c nofunc.c
check_contains "-cond: entry" "$(cat a.inst.c)" $'{ QVX_MCDC_DEF_0(QVX_CM_NEST_COMP1,QVX_SZ_VECT_COMP1);\nQVX_CD1(f,1)\n {'
check_contains "-cond: archive sections" "$(cat a.sta)" "*FI*
$schema
source_description ::= {
{1, \"a.c\"}
}
component_description ::= {
{1, \"f\"},
{2, \"g\"}
}
mcdc_description ::= {
}
END"
check_contains "-cond: no components, empty source description" "$(cat nofunc.sta)" "*FI*
$schema
source_description ::= {
}
component_description ::= {
}
mcdc_description ::= {
}
END"

# An Instrument that fails is reported and the run goes on (a script that
# does not load: bad_input.test.sh).
fresh; mk_c a.c b.c
printf 'proc Instrument {} { error "no header today" }\n' >"$scratch/failing.tcl"
QOR_INSTRUMENT_TCL="$scratch/failing.tcl" run "$QOR" -batch -inst -nocccp -c a.c b.c
check_count "failing Instrument: reported for each file" "$err" "during tcl evaluation" 2
check_rc "failing Instrument" 1

finish
