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

# One construct that the parser does not read (a compound literal as the
# operand of sizeof, which gcc accepts) gives one error wherever it stands:
# in a declaration at a block's start, in a statement of an inner block,
# and at file scope. The '{' group in it ends neither the statement nor a
# block, so the functions around it, and the rest of its own function,
# are measured as usual.
fresh
cat >a.c <<'EOF2'
int before(int x) { return x + 1; }
int declared(int x)
{
    int n = sizeof (int[]){1, 2, 3};
    if (x > n) x--;
    return x;
}
int inner(int x)
{
    x++;
    if (x > 0) { x = sizeof (int[]){1, 2}; x++; }
    return x;
}
static int table[] = { sizeof (int[]){1, 2} };
int after(int x) { if (x) return 2; return 3; }
EOF2
run gcc -std=gnu17 -fsyntax-only a.c
check_eq "one fault: gcc accepts it" 0 "$rc"
run "$HOOKED" -batch -dial GNU -cc="$FAKE" -c a.c
check_eq "one fault: one error each" "a.c(4): Error:  syntax error before \`{'
a.c(11): Error:  syntax error before \`{'
a.c(14): Error:  syntax error before \`{'
qor_cc: 3 error(s).
" "$(grep -v 'GNU.def' <<<"$err")
"
check_eq "one fault: the functions' statements" "before: statements 1, decisions 0
declared: statements 3, decisions 2
inner: statements 4, decisions 2
after: statements 3, decisions 2" "$(figures a.sta)"

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
