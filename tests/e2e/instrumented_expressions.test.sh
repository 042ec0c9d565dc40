# Instrumented copies compute what the source computes: random decisions
# that mix &&, || and ! with comparisons, arithmetic, casts, statement
# expressions, conditional operators, commas and assignments (see
# instrumented_expressions/expression_programs.cpp) are built plain by gcc,
# by the full installation's qor_cc -inst and by qor_cc -inst -cond; every
# copy compiles, and each program prints what the plain build prints.
# QOR_EXPRESSION_SEED chooses other programs.
source "${QOR_E2E_LIB:?}" || exit 1
: "${QOR_EXPRESSION_PROGRAMS:?QOR_EXPRESSION_PROGRAMS must name the program generator}"
unset QOR_COVERAGE_FILE

SEED=${QOR_EXPRESSION_SEED:-1}
PROGRAMS=4 DECISIONS=40

# build_copy DIR P OPTION...: P.c built by qor_cc with the options in DIR
# compiles (the compiler's first errors shown if not) and prints what the
# plain build printed.
build_copy() {
    local dir=$1 p=$2 expected
    shift 2
    cp "$p.c" "$dir/" && cd "$dir" || exit 1
    run "$QOR_FULL_STAGE/bin/qor_cc" -batch -quiet "$@" -dial GNU -cc=gcc -w -o "$p" "$p.c"
    check_eq "$p: qor_cc $* compiles it" "0" "$rc$(grep -m 3 'error' <<<"$err" | sed 's/^/ /')"
    [ "$rc" = 0 ] && run "./$p"
    slurp expected "../plain/$p.out"
    check_eq "$p: qor_cc $* prints what the plain build prints" "$expected" "$out"
    cd ..
}

fresh
"$QOR_EXPRESSION_PROGRAMS" "$SEED" "$PROGRAMS" "$DECISIONS" || exit 1
mkdir plain lines conditions
for p in $(seq -f 'p%g' "$PROGRAMS"); do
    gcc -w -o "plain/$p" "$p.c" && "./plain/$p" >"plain/$p.out"
    check_eq "$p: built and run plain" 0 "$?"
    build_copy lines "$p" -inst
    build_copy conditions "$p" -inst -cond
done
echo "seed $SEED: $PROGRAMS programs of $DECISIONS decisions"
finish
