# The GNU dialects take the build's command line as gcc takes it: options
# keep their arguments, the compiler gets the words in their order, its
# output products pass untouched, and a dynamic build leaves the files and
# the failures that the plain build leaves.
source "${QOR_E2E_LIB:?}" || exit 1
GQ="$QOR_FULL_STAGE/bin/qor_cc"

# --- Words ----------------------------------------------------------------

# A CMake compile line: the arguments of -MT and -MF are no object and no
# source, -MD is gcc's and no macro option, and the order stays.
fresh; mk_c f.c; mkdir obj
run "$QOR" -batch -dial GNU -cc="$FAKE" -DX=1 -Iinc -MD -MT obj/f.c.o -MF obj/f.c.o.d -o obj/f.c.o -c f.c
check_args "CMake's line" -DX=1 -Iinc -MD -MT obj/f.c.o -MF obj/f.c.o.d -o obj/f.c.o -c f.c
check_file "CMake's line: results named after -o" obj/f.c.sta
check_rc "CMake's line" 0

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
