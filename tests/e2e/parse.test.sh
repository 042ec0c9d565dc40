# Parsing: syntax errors with their positions and recovery, repeated
# definitions, the nesting limit, and dialect constructs.
source "${QOR_E2E_LIB:?}" || exit 1

hooked_install hooked
HOOKED="$scratch/hooked/bin/qor_cc"

# A bad statement costs that statement: one error at its token, the rest of
# the file is still parsed and the file is not compiled.
fresh
printf 'int f(int x)\n{\n    x = ;\n    return x;\n}\nint g(void) { return 1; }\n' >a.c
run "$HOOKED" -nocccp -batch -dial ansi -cc="$FAKE" -c a.c
check_eq "recovery: stderr" "warning : Unable to locate ANSI.def file
a.c(3): Error:  syntax error before \`;'
qor_cc: 1 error(s).
" "$err"
check_contains "recovery: both functions measured" "$out" $'onComponent f 1\nonComponent g 6'
check_no_file "recovery: not compiled" fake.log
check_file "lexical error marker" build_state.srr
check_rc "recovery" 1

# A text that ends inside a function still gives that function, and the
# next definition after a swallowed end starts afresh.
fresh
printf 'int f(int x)\n{\n    switch (x) {\n    case 1:\n        if (x) {\n' >a.c
run "$HOOKED" -nocccp -batch -dial ansi -cc="$FAKE" -c a.c
check_eq "unfinished function: stderr" "warning : Unable to locate ANSI.def file
a.c(6): Error:  syntax error at end of file
qor_cc: 1 error(s).
" "$err"
check_contains "unfinished function: measured" "$out" "onComponent f 1"

# GNU constructs parse in the GNU dialect.
fresh
cat >a.c <<'C'
static inline int add(int a, int b) __attribute__((unused));
static inline int add(int a, int b) { return a + b; }
int f(int *p)
{
    int v = ({ int t = *p; t + 1; });
    struct point { int x, y; } q = { .y = 2, .x = 1 };
    __asm__ volatile ("nop" : : : "memory");
    return add(v, ((struct point){ 3, 4 }).x) + q.y;
}
C
run "$QOR" -nocccp -batch -dial gnu -cc="$FAKE" -c a.c
check_eq "GNU constructs: stderr" $'warning : Unable to locate GNU.def file\n' "$err"
check_rc "GNU constructs" 0

finish
