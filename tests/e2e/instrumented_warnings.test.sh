# Strict warning flags: an instrumented copy builds exactly when its source
# builds, and gcc says nothing about it that it does not say about the
# source. strict.c is warning-free under these flags in every dialect; its
# copies, with and without condition coverage, must be so too, and print
# what the source prints.
source "${QOR_E2E_LIB:?}" || exit 1
corpus="$(cd "$(dirname "${BASH_SOURCE[0]}")/instrumented_warnings" && pwd)"
unset QOR_COVERAGE_FILE

STRICT=(-pedantic -Wall -Wextra -Wshadow -Wcast-qual -Wconversion -Wsign-conversion -Wredundant-decls
        -Wimplicit-fallthrough -Wstrict-prototypes)

# warnings: gcc's warning and error lines on stdin, without places (the
# copy's line numbers are not the source's).
warnings() { sed -n 's/^[^:]*:[0-9]*:[0-9]*: \(warning\|error\): //p' | sort -u; }

for std in c89 c99 gnu11 gnu17; do
    for level in -O0 -O2; do
        flags=(-std=$std "${STRICT[@]}" "$level")
        what="$std $level"
        fresh; cp "$corpus/strict.c" .
        gcc "${flags[@]}" -Werror -o orig strict.c 2>gcc.err
        check_eq "$what: plain build with -Werror" "0:" "$?:$(warnings <gcc.err)"
        ./orig >orig.out
        slurp expected orig.out
        for mode in "" -cond; do
            run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst $mode -dial GNU -cc=gcc "${flags[@]}" -c strict.c
            check_eq "$what -inst $mode: no warning" "0:" "$rc:$(warnings <<<"$err")"
            run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst $mode -dial GNU -cc=gcc "${flags[@]}" -Werror -c strict.c
            check_eq "$what -inst $mode: builds with -Werror" "0:" "$rc:$(warnings <<<"$err")"
            rm -f qor_coverage.dat
            gcc -o inst strict.o && run ./inst
            check_eq "$what -inst $mode: same output" "$expected" "$out"
            check_eq "$what -inst $mode: coverage data" 1 "$(unit_runs qor_coverage.dat)"
        done
    done
done

# The shapes that keep gcc's analysis: a constant loop condition stays a
# constant with condition coverage, a '!' in an initializer makes no
# later condition a rewritten one, nested flags and vectors have names of
# their own, and the comment before a case label stays right before it.
inst=$(cat strict.inst.c)
check_contains "while (1) stays" "$inst" 'while ( 1 ) {'
check_contains "constant conditions stay" "$inst" $' if (! 1 )\n'
check_contains "constant comparisons stay" "$inst" 'while ( 1 == 1 ) {'
check_contains "a condition without logical operator stays" "$inst" 'if ( n > limit ) {'
check_contains "nested loop flag" "$inst" 'int qvxbrk2 = 0;'
check_contains "nested switch flag" "$inst" $'case 2 : if (!qvxbool2) {\n qvxbool2 = 1;'
check_contains "fall-through comment before its label" "$inst" '/* fall through */ case 1 : '
check_contains "line comment kept as a block comment" "$inst" '/* FALLTHRU */ case 1 : '
check_contains "a decision inside a condition of another takes a higher index" "$inst" \
    'if ( QVX_CM_0(1,pick,'

# A unit that tests whether the dump call is there, as the README shows,
# and whose macro puts a comparison in parentheses, builds with -Werror
# under gcc and clang; warnings that the strict flags leave out say
# nothing about the run-time's own declarations.
fresh
cat >dump.c <<'EOF'
#define IS_ZERO(x) ((x) == 0)
extern void qor_coverage_dump(void) __attribute__((weak));
void checkpoint(int n);
void checkpoint(int n)
{
    if (IS_ZERO(n))
        return;
    if (qor_coverage_dump)
        qor_coverage_dump();
}
EOF
for cc in gcc clang-19; do
    extra=(-Wpadded)
    [ $cc = clang-19 ] && extra+=(-Wmissing-variable-declarations)
    for mode in "" -cond; do
        run "$QOR_FULL_STAGE/bin/qor_cc" -batch -inst $mode -dial GNU -cc=$cc "${STRICT[@]}" "${extra[@]}" -O2 -Werror -c dump.c
        check_eq "$cc -inst $mode: builds with -Werror" "0:" "$rc:$(warnings <<<"$err")"
    done
done

finish
