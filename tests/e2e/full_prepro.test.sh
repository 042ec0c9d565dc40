# full_prepro, the external preprocessor, as a program: its output against
# gcc's, its messages, macro sources and search directories, the host's C
# library headers. What its callbacks write is tested beside them, in
# tools/full_prepro/tests; qor_cc reading its output through the pipe, in
# gnu_c.test.sh.
source "${QOR_E2E_LIB:?}" || exit 1
FP="$QOR_STAGE/bin/full_prepro"

# prepro ARGS...: runs full_prepro with the options qor_cc always gives.
prepro() { run "$FP" -C -dial ansi "$@"; }

# --- Markers and selective expansion --------------------------------------

# An author's comment that looks like a marker is not taken for one.
fresh
printf 'int x; /*@QOR #macro FAKE*/\n' >c.c
prepro c.c
check_contains "author's marker-like comment" "$out" "int x; /* @QOR #macro FAKE*/"

# Whatever is expanded here, gcc's preprocessing of the output gives the
# program that gcc's preprocessing of the source gives: the #define lines of
# unexpanded macros are kept, and with them those of the macros they use.
fresh
cat >t.c <<'C'
#define EMPTY
#define OBJ (1 + 2)
#define FN(a, b) a * b
#define NOARGS() 0
#define VAR(fmt, ...) printf(fmt, __VA_ARGS__)
#define GNUVAR(fmt, args...) printf(fmt, ## args)
#define STR(x) #x
#define XSTR(x) STR(x)
#define CAT(a, b) a ## b
#define SELF SELF + 1
#define LATE FN
#define MULTI(x) \
    do { x; } \
    while (0)
int a = OBJ EMPTY;
int b = FN(OBJ, FN(2, 3));
int c = NOARGS();
void f(void) { VAR("%d %d", 1, 2); GNUVAR("x"); GNUVAR("%d", 3); MULTI(a++); }
const char *s = XSTR(OBJ) STR(  a   b  );
int CAT(var, 1) = CAT(0x, 1F);
int self = SELF;
int late = LATE(4,
                5);
int line = __LINE__;
const char *file = __FILE__;
int counter[] = { __COUNTER__, __COUNTER__ };
#undef OBJ
#define OBJ 9
int again = OBJ;
C
printf 'FN STR SELF\n' >names.mac
program() { gcc -E -P -x c "$1" | grep -v '^#' | tr -d ' \n\t'; }
strip_markers() { perl -pe 's|/\*\@QOR #.*?\*/||g' "$@"; }
expected=$(program t.c)
for mode in "" "-mode=noexp" "-mode=exp -mac names.mac" "-mode=noexp -mac names.mac"; do
    # shellcheck disable=SC2086
    prepro $mode t.c
    printf '%s' "$out" | strip_markers >t.i
    check_eq "same program as gcc's (${mode:-default})" "$expected" "$(program t.i)"
done

# A listed include guard still guards.
fresh
printf '#ifndef G_H\n#define G_H\nint guarded;\n#endif\n' >g.h
printf '#include "g.h"\n#include "g.h"\nint g = G_H;\n' >g.c
printf 'G_H\n' >names.mac
prepro -mac names.mac g.c
check_count "listed guard" "$out" "int guarded;" 1
check_contains "listed guard stays unexpanded" "$out" "int g = G_H;"

# --- Pragma lines -----------------------------------------------------------

# #pragma once in a header works and is not passed on; a pragma that would
# make clang end the program is passed on like any other.
fresh
printf '#pragma once\nint once;\n' >o.h
printf '#include "o.h"\n#include "o.h"\n#pragma clang __debug crash\nint x;\n' >o.c
prepro o.c
check_count "#pragma once" "$out" "int once;" 1
check_lacks "#pragma once dropped" "$out" "#pragma once"
check_contains "debug pragma passed on" "$out" "#pragma clang __debug crash"
check_rc "debug pragma" 0

# Pragmas are the compiler's to judge: gcc's warning groups and other
# compilers' pragmas give no message, and are passed on.
fresh
printf '%s\n' '#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"' '#pragma omp parallel for' \
    '#pragma intrinsic(memcpy)' '#pragma STDC FENV_ACCESS ON' 'int p;' >p.c
prepro p.c
check_eq "compiler pragmas: no message" "0:" "$rc:$err"
check_contains "compiler pragmas: passed on" "$out" '#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"'

# --- Problems -------------------------------------------------------------

fresh
cat >p.c <<'C'
int before;
#include "missing.h"
int after;
#error stop
int last;
C
prepro p.c
check_eq "problems: messages" "p.c(2): Error: 'missing.h' file not found
p.c(4): Error: stop
" "$err"
check_contains "output goes on after a missing include" "$out" $'int before;\n\nint after;\n\nint last;'
check_rc "problems" 1

fresh
prepro absent.c
check_eq "missing source" 'full_prepro: Error: cannot open source file "absent.c": No such file or directory
' "$err"
check_rc "missing source" 1
run "$FP" -C -dial ansi -ddef
check_eq "missing value" "full_prepro: Error: missing value after -ddef
" "$err"
check_rc "missing value" 1
printf 'int x;\n' >x.c
prepro -ddef none.def -mac none.mac x.c
check_eq "unreadable files" "full_prepro: Error: Inaccessible 'none.def' file.
full_prepro: Error: Inaccessible 'none.mac' file.
" "$err"
check_contains "unreadable files: output" "$out" "int x;"
check_rc "unreadable files" 1
prepro -D1X=2 x.c
check_eq "bad -D name" "full_prepro: Error: invalid macro name in -D1X=2
" "$err"
"$FP" -C -dial ansi x.c >/dev/full 2>"$scratch/.cap/err"
rc=$?
slurp err "$scratch/.cap/err"
check_eq "output that cannot be written" "full_prepro: Error: cannot write the preprocessed text
" "$err"
check_rc "output that cannot be written" 1

# --- Macro sources --------------------------------------------------------

fresh
mkdir cmd def
printf 'int from_cmd;\n' >cmd/which.h
printf 'int from_def;\n' >def/which.h
printf 'int from_def_only;\n' >def/only.h
cat >compiler.def <<'DEF'
// The compiler's macros.
/* another comment
D FROM_DEF 1
D OVER 1
D GONE 1
D FUN(a, b)   a##b
A machine (x86)
E ignored
I def
# not a line kind
D 9bad
DEF
cat >q.c <<'C'
#include <which.h>
#include <only.h>
int v[] = { FROM_DEF, OVER, FUN(1, 2), CMD, REDONE };
#ifdef GONE
int gone;
#endif
#if defined(__STDC__) || defined(__STDC_VERSION__) || defined(__GNUC__) || defined(__clang__) || defined(__x86_64__) || defined(__linux__)
int predefined_leak;
#endif
#ifdef __STDC__
int stdc_given;
#endif
C
prepro -ddef compiler.def -I def -Icmd -DOVER=2 -UGONE -DCMD -DREDONE=1 -UREDONE -DREDONE=3 -O2 -o q.o q.c
check_eq "macro sources: warnings" "compiler.def(10): Warning: syntax error in predefined macros file
compiler.def(11): Warning: syntax error in predefined macros file
" "$err"
# A -I naming a directory of the definitions file keeps its system place.
check_contains "-I before the definitions' I lines" "$out" "int from_cmd;"
check_contains "I lines searched" "$out" "int from_def_only;"
check_contains "order of D, -D and -U" "$out" "int v[] = { /*@QOR #macro FROM_DEF*/ 1 /*@QOR #f_end */, /*@QOR #macro OVER*/ 2 /*@QOR #f_end */, /*@QOR #macro FUN(1, 2)*/ 12 /*@QOR #f_end */, /*@QOR #macro CMD*/ 1 /*@QOR #f_end */, /*@QOR #macro REDONE*/ 3 /*@QOR #f_end */ };"
check_lacks "-U removes a D line's macro" "$out" "int gone;"
check_lacks "no compiler predefines" "$out" "predefined_leak"
check_lacks "__STDC__ undefined unless given" "$out" "stdc_given"
check_rc "macro sources" 0
prepro -D__STDC__ q.c
check_contains "__STDC__ when given" "$out" "int stdc_given;"

# A D line that clang rejects is reported at its line; a later D line
# replaces an earlier one silently.
printf 'D ONE 1\nD TWO(a a) a\nD ONE 2\n' >bad.def
printf 'int one = ONE;\n' >r.c
prepro -ddef bad.def r.c
check_eq "definitions file messages" "bad.def(2): Error: expected comma in macro parameter list
" "$err"
check_contains "later D line replaces" "$out" "/*@QOR #macro ONE*/ 2"

# --- Include files and search directories ---------------------------------

# located: the text lines of preprocessed text as "FILE:LINE: TEXT", placed
# by the line markers, blanks squeezed; markers, the compiler's own buffers
# and a leading "./" of file names are left out. Where both preprocess a
# text, full_prepro and gcc -E must agree on it.
located() {
    perl -ne 'if (/^# (\d+) "(.*)"/) { ($l, $f) = ($1, $2); $f =~ s{^(\./)+}{}; next }
              next if m{^/\*\@QOR #incl: }; s{ ?/\*\@QOR #.*?\*/}{}g; s/\s+/ /g; s/^ | $//g;
              print "$f:$l: $_\n" if $_ ne "" && $f !~ /^</; $l++'
}
# same_as_gcc NAME "FULL_PREPRO ARGS" "GCC ARGS": the source is t.c unless
# $src names another; gcc searches none of the host's directories.
same_as_gcc() {
    local ours theirs
    # shellcheck disable=SC2086
    ours=$("$FP" -C -dial ansi $2 "${src:-t.c}" 2>/dev/null | located)
    # shellcheck disable=SC2086
    theirs=$(gcc -E -nostdinc $3 "${src:-t.c}" 2>/dev/null | located)
    check_eq "$1: as gcc" "$theirs" "$ours"
}

# -imacros files are read before -include files, each kind in order, after
# the -D options; an -imacros file gives its macros and no text.
fresh
printf '#ifdef FROM_D\n#define M1 1\n#endif\nint m1_text = M1;\n' >m1.h
printf '#define M2 2\n#pragma weak w\n' >m2.h
printf 'int a = M1 + M2;\n' >a.h
printf 'int b;\n' >b.h
printf 'int main_text = M1;\n' >t.c
same_as_gcc "-imacros before -include" "-DFROM_D -include b.h -imacros m1.h -include a.h -imacros m2.h" \
    "-DFROM_D -include b.h -imacros m1.h -include a.h -imacros m2.h"
# An -include file is looked for in the working directory first, not in
# the source's, then along the "..." chain.
fresh
mkdir q sub
printf 'int cwd_h;\n' >h.h
printf 'int q_h;\n' >q/h.h
printf 'int sub_h;\n' >sub/h.h
printf 'int q_only;\n' >q/only.h
printf 'int main_text;\n#include "h.h"\n' >sub/t.c
printf 'int sub_only;\n' >sub/sub_only.h
src=sub/t.c same_as_gcc "-include search" "-iquote q -include h.h -include only.h" "-iquote q -include h.h -include only.h"
prepro -include sub_only.h sub/t.c
check_eq "-include not from the source's directory" "<command line>(1): Error: 'sub_only.h' file not found
" "$err"

# A missing file is reported as a missing #include is; the rest goes on.
fresh
printf 'int kept;\n' >t.c
prepro -DX -include missing.h -imacros absent.h t.c
check_eq "missing -include: messages" "<command line>(2): Error: 'absent.h' file not found
<command line>(3): Error: 'missing.h' file not found
" "$err"
check_eq "missing -include: output" $'# 1 "t.c"\nint kept;\n' "$out"
check_rc "missing -include" 1

# The search order: "..." from the including file's directory, -iquote,
# -I; <...> from -I; then -isystem, the definitions file's I lines and
# -idirafter. Each h.h shows itself and includes the next; the I line's
# directory stands last among gcc's -isystem ones.
fresh
mkdir q i s d a x
for dir in q i s d x; do printf 'int %s_h;\n#include_next <h.h>\n' "$dir" >"$dir/h.h"; done
printf 'int a_h;\n' >a/h.h
printf 'I d\n' >std.def
printf '#include "h.h"\n#include <h.h>\nint end;\n' >t.c
same_as_gcc "search order" "-iquote q -I i -isystem s -idirafter a -ddef std.def" \
    "-iquote q -I i -isystem s -isystem d -idirafter a"
same_as_gcc "attached values" "-iquoteq -Ii -isystems -idirafter a -ddef std.def" \
    "-iquote q -I i -isystem s -isystem d -idirafter a"
# Repeated directories: a -I naming a system directory is dropped, a
# system directory keeps its first place, a -iquote right before the same
# -I is dropped, elsewhere it stays.
same_as_gcc "-I of a system directory" "-I s -I i -isystem s -idirafter a" "-I s -I i -isystem s -idirafter a"
same_as_gcc "-I of an -idirafter directory" "-I a -I i -isystem s -idirafter a" "-I a -I i -isystem s -idirafter a"
same_as_gcc "-isystem of a standard directory" "-I i -isystem d -isystem s -ddef std.def -idirafter d -idirafter a" \
    "-I i -isystem d -isystem s -isystem d -idirafter d -idirafter a"
same_as_gcc "-iquote of the first -I" "-iquote i -I i -idirafter a" "-iquote i -I i -idirafter a"
same_as_gcc "-iquote of a later -I" "-iquote i -I x -I i -idirafter a" "-iquote i -I x -I i -idirafter a"
# -iquote is not searched for <...>.
printf '#include <h.h>\n' >t.c
prepro -iquote q -idirafter a t.c
check_eq "-iquote only for \"...\"" $'a/h.h:1: int a_h;' "$(printf '%s' "$out" | located)"

# The headers of system directories are system headers: their warnings
# are not shown, as gcc does not show them.
fresh
mkdir d
printf '#define R 1\n#define R 2\n' >d/w.h
printf '#include <w.h>\n' >t.c
printf 'I d\n' >std.def
for dirs in "-I d" "-isystem d" "-idirafter d" "-I d -isystem d" "-ddef std.def" "-I d -ddef std.def"; do
    gcc_dirs=${dirs/-ddef std.def/-isystem d}
    # shellcheck disable=SC2086
    if gcc -E -Wall $gcc_dirs t.c 2>&1 >/dev/null | grep -q redefined; then expected=1; else expected=0; fi
    # shellcheck disable=SC2086
    prepro $dirs t.c
    check_count "warnings of headers found by $dirs" "$err" "'R' macro redefined" "$expected"
done

# -nostdinc leaves out the definitions file's I lines, -undef its D lines;
# the command line's directories and macros stay.
fresh
mkdir d s
printf 'int std_h;\n' >d/std.h
printf 'int sys_h;\n' >s/sys.h
printf 'I d\nD FROM_DEF 1\n' >std.def
printf '#include <std.h>\n#include <sys.h>\nint v[] = { FROM_DEF, CMD };\n' >t.c
prepro -ddef std.def -isystem s -nostdinc -DCMD t.c
check_eq "-nostdinc: messages" "t.c(1): Error: 'std.h' file not found
" "$err"
check_lacks "-nostdinc: I lines" "$out" "std_h"
check_contains "-nostdinc: -isystem searched" "$out" "int sys_h;"
check_contains "-nostdinc: D lines" "$out" "/*@QOR #macro FROM_DEF*/ 1"
prepro -ddef std.def -isystem s -undef -DCMD t.c
check_eq "-undef: messages" "" "$err"
check_contains "-undef: D lines left out, -D kept" "$out" "int v[] = { FROM_DEF, /*@QOR #macro CMD*/ 1 /*@QOR #f_end */ };"
check_contains "-undef: I lines searched" "$out" "int std_h;"

# The values of other steps' options are never taken for the source (the
# last word that is no option nor value); attached values take no word.
fresh
printf 'int the_source;\n' >t.c
prepro t.c -o o.c -MF mf.c -MT mt.c -MQ mq.c -x c -Xpreprocessor xp.c -Xlinker xl.c -Xassembler xa.c \
    -aux-info ai.c --param p.c -T t.ld -u u.c -z z.c -A a.c -iprefix ip.c -iwithprefix iw.c \
    -iwithprefixbefore ib.c -isysroot is.c --sysroot sr.c -imacros /dev/null -include /dev/null
check_eq "skipped values: messages" "" "$err"
check_contains "skipped values: source" "$out" "int the_source;"
prepro -ofirst.c -MFx -iwithprefixbeforeb -isysroots --sysroot=r -xc t.c
check_contains "attached values: source" "$out" "int the_source;"
check_rc "attached values" 0

# --- #embed -----------------------------------------------------------------

# #embed's data as clang 19 compiles it: every byte value (those above 127
# in an int array too), clang's offset and the limit, a file found beside
# the header that embeds it. The source and full_prepro's text give the
# same program, with clang 19's predefined macros, which say that it reads
# #embed. (The other parameters: c23_constructs/embed.c.)
if command -v clang-19 >/dev/null; then
    fresh
    clang-19 -dM -E -x c /dev/null | sed -n 's/^#define /D /p' >clang.def
    perl -e 'print map { chr } 0 .. 255' >all.bin
    mkdir inc
    printf 'xyz' >inc/all.bin
    printf 'static const int near[] = {\n#embed "all.bin"\n};\n' >inc/near.h
    cat >e.c <<'C'
int printf(const char *format, ...);
#include "inc/near.h"
static const unsigned char all[] = {
#embed "all.bin"
};
static const int high[] = {
    #embed "all.bin" clang::offset(126) limit(4)
};
int main(void) {
    unsigned long sum = 0;
    for (unsigned i = 0; i < sizeof all; i++) sum = sum * 33 + all[i];
    printf("%zu %lu %d %d %d %zu\n", sizeof all, sum, high[0], high[3], near[0], sizeof near / sizeof near[0]);
    return 0;
}
C
    prepro -ddef clang.def e.c
    check_eq "#embed: no message" "" "$err"
    printf '%s' "$out" | strip_markers >e.i
    clang-19 -std=gnu23 -w -o from_source e.c && clang-19 -w -x cpp-output -o from_text e.i
    check_eq "#embed: the same program as clang 19's" "$(./from_source)" "$(./from_text)"
else
    echo "note: #embed is not checked against clang-19, which is not installed"
fi

# --- The host's C library -------------------------------------------------

# The host compiler's macros and include directories as a definitions file;
# the preprocessed text of many library headers must compile.
fresh
{
    gcc -dM -E -x c /dev/null | sed -n 's/^#define /D /p'
    gcc -x c -E -v /dev/null 2>&1 | sed -n '/#include <...> search starts here:/,/End of search list/s/^ \(\/.*\)$/I \1/p'
} >host.def
{
    for h in stdio stdlib string stdarg stddef stdint stdbool inttypes ctype errno math limits signal \
             setjmp time assert pthread unistd fcntl sys/stat dirent locale wchar; do
        printf '#include <%s.h>\n' "$h"
    done
    printf 'int main(void) {\n    printf("%%d %%s\\n", INT_MAX, strerror(errno));\n    assert(1);\n    return EXIT_SUCCESS;\n}\n'
} >lib.c
run "$FP" -C -dial gnu -trigraphs -ddef host.def lib.c
check_eq "library headers: messages" "" "$err"
check_rc "library headers" 0
printf '%s' "$out" >lib.i
check_contains "library headers: include markers" "$out" '/*@QOR #incl: /usr/include/stdio.h"*/'
strip_markers lib.i >lib.clean.i
if gcc -fsyntax-only -x cpp-output lib.clean.i 2>gcc.err; then ok; else not_ok "gcc accepts the library headers" "$(head -20 gcc.err)"; fi

# assert left unexpanded: the text still compiles, with the definitions
# that assert's own uses.
printf 'assert\n' >assert.mac
run "$FP" -C -dial gnu -trigraphs -ddef host.def -mac assert.mac lib.c
printf '%s' "$out" | strip_markers >lib_assert.i
check_contains "assert left unexpanded" "$(cat lib_assert.i)" "    assert(1);"
if gcc -fsyntax-only -x c lib_assert.i 2>gcc.err; then ok; else not_ok "gcc accepts assert unexpanded" "$(head -20 gcc.err)"; fi

# Nothing expanded: every #define is passed on.
run "$FP" -C -dial gnu -trigraphs -ddef host.def -mode=noexp lib.c
printf '%s' "$out" >lib_noexp.i
strip_markers lib_noexp.i >lib_noexp.clean.i
if gcc -fsyntax-only -x c lib_noexp.clean.i 2>gcc.err; then ok; else not_ok "gcc accepts the unexpanded headers" "$(head -20 gcc.err)"; fi

finish
