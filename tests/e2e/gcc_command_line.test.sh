# The GNU dialects take the build's command line as gcc takes it: options
# keep their arguments, the compiler gets the words in their order, its
# output products pass untouched, and a dynamic build leaves the files and
# the failures that the plain build leaves.
source "${QOR_E2E_LIB:?}" || exit 1
GQ="$QOR_FULL_STAGE/bin/qor_cc"

# --- Words ----------------------------------------------------------------

# Separate arguments stay with their option whatever their names, and
# unknown options go to the compiler as they are.
fresh; mk_c a.c
run "$QOR" -batch -dial GNU -cc="$FAKE" -include cfg.c -isystem sys -Xlinker x.o -G5 --frobnicate a.c -x c
check_args "arguments stay with their options" -include cfg.c -isystem sys -Xlinker x.o -G5 --frobnicate a.c -x c
check_count "only a.c analysed" "$out" "Analyzing:" 1

# Launched as `qor_cc [own options] <compiler> <arguments>`.
fresh; mk_c a.c
run "$QOR" -batch -dial GNU "$FAKE" -O2 -c a.c -o a.o
check_args "launcher form" -O2 -c a.c -o a.o
check_file "launcher form: analysed" a.sta

# --- The analysis sees what the compiler sees ---------------------------------

# The compiler's macros for the flags in use choose the functions measured,
# with either preprocessor; -D and -U apply in their order.
fresh
cat >a.c <<'C'
#ifdef __OPTIMIZE__
int optimized(void) { return 1; }
#else
int plain(void) { return 0; }
#endif
#ifdef __CHAR_UNSIGNED__
int unsigned_char(void) { return 2; }
#endif
#if __STDC_VERSION__ < 199901L
int c89(void) { return 3; }
#endif
#ifdef LATE
int late(void) { return 4; }
#endif
C
# components FLAGS...: the components of a.c, in the archive's order.
components() {
    "$GQ" -quiet -dial GNU -cc=gcc "$@" -c a.c
    grep -ao '^[a-z_0-9]* [0-9/]*-' a.sta | cut -d' ' -f1 | sort -u | tr '\n' ' '
}
for pre in "" -nocccp; do
    check_eq "plain $pre" "plain " "$(components $pre)"
    check_eq "-O2 -funsigned-char $pre" "optimized unsigned_char " "$(components $pre -O2 -funsigned-char)"
    check_eq "-std=c89 $pre" "c89 plain " "$(components $pre -std=c89)"
    check_eq "-DLATE -ULATE -DLATE $pre" "late plain " "$(components $pre -DLATE -ULATE -DLATE)"
done

# -include, -isystem and -iquote reach the preprocessor; the headers are the
# file's inputs.
fresh; mkdir cache sys quote
printf '#define FROM_INCLUDE 1\n' >config.h
printf 'int sys_value;\n' >sys/s.h
printf 'int quote_value;\n' >quote/q.h
printf '#include <s.h>\n#include "q.h"\nint f(void) { return FROM_INCLUDE; }\n' >b.c
run "$GQ" -quiet -dial GNU -cc=gcc -include config.h -isystem sys -iquote quote -c b.c
check_eq "-include, -isystem, -iquote: no message" "" "$err"
check_contains "-include: an input" "$(cat cache/b.qor_cc)" "incr::DepInput {config.h}"
check_contains "-isystem: an input" "$(cat cache/b.qor_cc)" "incr::DepInput {sys/s.h}"

# The compiler is asked once per compiler and flag set; -ddef replaces its
# answer. A compiler that cannot be asked ends the run with 127.
fresh; mk_c a.c
printf '#!/bin/sh\ncase " $* " in *" -dM "*) echo query >>"$PWD/queries";; esac\nexec gcc "$@"\n' >cc
chmod +x cc
for i in 1 2; do "$GQ" -quiet -dial GNU -cc="$PWD/cc" -O1 -c a.c; done
check_eq "asked once" "query" "$(cat queries)"
"$GQ" -quiet -dial GNU -cc="$PWD/cc" -O3 -c a.c
check_eq "asked again for other flags" 2 "$(wc -l <queries)"
printf 'D OWN 1\n' >own.def
"$GQ" -quiet -dial GNU -cc="$PWD/cc" -O0 -ddef own.def -c a.c
check_eq "-ddef: not asked" 2 "$(wc -l <queries)"
run "$GQ" -quiet -dial GNU -cc=false -c a.c
check_eq "compiler that cannot be asked" \
    "false: Error:  cannot tell its predefined macros (false -dM -E -v -x c /dev/null ended with status 1)
" "$err"
check_rc "compiler that cannot be asked" 127
# A stand-in that gives no compiler's answer is no compiler to ask: the
# installation's GNU.def serves.
printf '#include <stdio.h>\nint f(void) { return EOF; }\n' >s.c
run "$GQ" -quiet -dial GNU -cc=true -c s.c
check_eq "stand-in compiler: headers found, no message" "" "$err"
check_rc "stand-in compiler" 0
run "$GQ" -quiet -dial GNU -cc=/nonexistent/cc -c a.c
check_eq "compiler not found" $'/nonexistent/cc: Error:  No such file or directory\n' "$err"
check_rc "compiler not found" 127

# --- The compiler's output is the product ---------------------------------

fresh
mkdir inc
printf '#define LIMIT 3\n' >inc/limits.h
printf '#include "limits.h"\nint f(int x) { return x > LIMIT; }\n' >a.c
for query in "-E -Iinc a.c" "-M -Iinc a.c" "-MM -MG a.c" "--version" "-dumpversion" "-dumpmachine" \
    "-print-search-dirs"; do
    # shellcheck disable=SC2086
    expected=$(gcc $query 2>&1; echo "rc=$?")
    # shellcheck disable=SC2086
    actual=$("$GQ" -dial GNU -cc=gcc $query 2>&1; echo "rc=$?")
    check_eq "gcc $query: same output" "$expected" "$actual"
done
check_no_file "queries analyse nothing" a.sta

# A line with nothing to analyse (a link) shows only the compiler's output.
fresh; mk_c a.c
gcc -c a.c -o a.o
run "$QOR" -dial GNU -cc="$FAKE" a.o -o prog
check_eq "link line: no banner" "" "$out"
check_args "link line" a.o -o prog

# The quiet setting: nothing on the console but messages about the code.
fresh; mk_c a.c b.c
for quiet in "-quiet" "QOR_CC_QUIET=1"; do
    if [ "$quiet" = -quiet ]; then run "$GQ" -quiet -dial GNU -cc=gcc -c a.c b.c
    else run env QOR_CC_QUIET=1 "$GQ" -dial GNU -batch -cc=gcc -c a.c b.c; fi
    check_eq "$quiet: nothing on standard output" "" "$out"
    check_eq "$quiet: nothing on standard error" "" "$err"
    check_file "$quiet: still analysed" b.sta
done

# --- Dynamic builds leave what the plain build leaves ------------------------

# Objects and assembler files take the original source's name.
fresh; mk_c a.c b.c
run "$GQ" -quiet -inst -dial GNU -cc=gcc -c a.c
check_file "-inst -c a.c leaves a.o" a.o
check_no_file "-inst -c a.c: no a.inst.o" a.inst.o
run "$GQ" -quiet -inst -dial GNU -cc=gcc -S b.c
check_file "-inst -S b.c leaves b.s" b.s
rm -f a.o b.o
run "$GQ" -quiet -inst -cond -dial GNU -cc=gcc -c a.c b.c
check_file "two sources: a.o" a.o
check_file "two sources: b.o" b.o
check_no_file "two sources: no b.inst.o" b.inst.o

# A source that the compiler rejects in preprocessing fails the dynamic
# build as it fails the plain one, with the compiler's own message.
fresh
printf '#error not for this target\nint x;\n' >e.c
for mode in "" "-inst" "-inst -cond"; do
    # shellcheck disable=SC2086
    run "$GQ" -quiet $mode -dial GNU -cc=gcc -c e.c
    check_contains "#error $mode: the compiler's message" "$err" "e.c:1:2: error: #error not for this target"
    check_eq "#error $mode: failed" 1 "$((rc != 0))"
    check_no_file "#error $mode: no object" e.o
done

# The dependency file of a dynamic build names the original source and its
# headers, for the object the build expects.
fresh; mkdir inc
printf '#define K 2\n' >inc/k.h
printf '#include "k.h"\nint f(int x) { return x * K; }\n' >d.c
gcc -Iinc -MMD -MP -c d.c -o plain.o && mv plain.d expected.d
for mode in "-inst" "-inst -cond"; do
    rm -f d.d
    # shellcheck disable=SC2086
    run "$GQ" -quiet $mode -dial GNU -cc=gcc -Iinc -MMD -MP -c d.c
    check_eq "-MMD $mode: dependency file" "$(sed 's/^plain\.o:/d.o:/' expected.d)" "$(cat d.d 2>&1)"
done
run "$GQ" -quiet -inst -dial GNU -cc=gcc -Iinc -MD -MF x.d -MT target.o -c d.c -o out.o
check_contains "-MF and -MT kept" "$(cat x.d 2>&1)" "target.o: d.c"

# Several sources compiled and linked into one program, in every mode.
fresh
printf 'int twice(int);\nint main(void) { return twice(3) - 6; }\n' >shell.c
printf 'int twice(int x) { if (x > 0) return 2 * x; return 0; }\n' >engine.c
for mode in "" "-inst" "-inst -cond"; do
    rm -f prog
    # shellcheck disable=SC2086
    run "$GQ" -quiet $mode -dial GNU -cc=gcc shell.c engine.c -o prog
    check_rc "shell.c engine.c -o prog $mode" 0
    ./prog
    check_eq "prog $mode runs" 0 "$?"
    check_file "engine.c $mode: results named after the source" engine.sta
done

# Source on standard input: handed to the compiler, not analysed.
fresh; mk_c a.c
"$GQ" -quiet -dial GNU -cc=gcc -x c -c - -o stdin.o <a.c
check_file "standard input compiled" stdin.o

finish
