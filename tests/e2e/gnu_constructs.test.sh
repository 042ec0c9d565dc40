# The GNU C constructs, with gcc as the judge. Each file of gnu_constructs/
# holds one group of constructs and a main that prints what they compute;
# gcc accepts it. qor_cc must analyse it without a message and measure each
# function as the lines "// NAME: statements N, decisions N" at its end say
# (the decisions are the archive's decision descriptions but the entry);
# built with -inst and with -inst -cond, it must print what the plain build
# prints.
source "${QOR_E2E_LIB:?}" || exit 1
cases="$(cd "$(dirname "${BASH_SOURCE[0]}")/gnu_constructs" && pwd)"
QORD="$QOR_FULL_STAGE/bin/qor_cc"

fresh
cp "$cases"/*.c .
for source in *.c; do
    run gcc -std=gnu17 -fsyntax-only "$source"
    check_eq "$source: gcc accepts it" "0" "$rc"
done
run "$QORD" -batch -dial GNU -cc=gcc -std=gnu17 -c *.c
check_eq "no message" "" "$err"
check_rc "analysed and compiled" 0
for source in *.c; do
    check_eq "$source: figures" "$(figures_written "$source")" "$(figures "${source%.c}.sta")"
done

# A computed goto and an asm goto are jumps of their own kind, whose targets
# are the labels they may reach.
check_contains "goto *: its targets" "$(cat labels_as_values.sta)" ":SAUI /op_add/op_double/op_halt;#9."
check_contains "goto * through a variable" "$(cat labels_as_values.sta)" ":SAUI /yes/no;#23."
check_contains "asm goto: its labels" "$(cat asm_goto.sta)" ":SAUI /taken/also_taken;#6."

for source in *.c; do
    gcc -std=gnu17 -o plain "$source" -lm && ./plain >plain.out
    for mode in "" -cond; do
        rm -f "${source%.c}.o"
        QOR_INSTRUMENT_TCL= run "$QORD" -batch -inst $mode -dial GNU -cc=gcc -std=gnu17 -c "$source"
        check_eq "$source -inst $mode: no message" "" "$err"
        gcc -o inst "${source%.c}.o" -lm 2>/dev/null && QOR_COVERAGE_FILE=$PWD/coverage.dat ./inst >inst.out
        check_eq "$source -inst $mode: same output" "$(cat plain.out)" "$(cat inst.out)"
    done
done

finish
