# Real C with the installation's dialect data: the options and ignore files
# of every dialect, GNU C that includes the C library's and the compiler's
# headers (analysed without a message, measured function by function, then
# compiled by gcc), the C library's headers in the other dialects, and the
# GNU constructs that those dialects still reject.
#
# The text is preprocessed by gcc with nothing but the macros and include
# directories of the dialect's options file, as the external preprocessor
# does, and analysed with -nocccp.
source "${QOR_E2E_LIB:?}" || exit 1

corpus="$(cd "$(dirname "${BASH_SOURCE[0]}")/gnu_c" && pwd)"
util="$QOR_FULL_STAGE/util"

# The full installation with a hook script that prints each component.
hooked_install full "$QOR_FULL_STAGE"
QORD="$scratch/full/bin/qor_cc"

# pp DIALECT SOURCE OUTPUT [GCC OPTION...]: SOURCE preprocessed with only
# the predefined macros and include directories of DIALECT's options file.
pp() {
    local def="$util/$1.def" source=$2 output=$3
    shift 3
    sed -n 's/^D /#define /p' "$def" >"$scratch/.macros.h"
    local dirs=()
    while IFS= read -r dir; do dirs+=(-isystem "$dir"); done < <(sed -n 's/^I //p' "$def")
    gcc -E -w -undef -nostdinc -imacros "$scratch/.macros.h" "${dirs[@]}" -I "$corpus" "$@" "$source" >"$output"
}

# --- The installation data ---------------------------------------------

dialects="ANSI C99 KR78 SUN HP_ANSI HP MCC MCC_STD GNU GNU_RHEL_3 GNU_RHEL_4 GNU_D950 DIAB
          MICROSOFT_70 MSC70 MICROSOFT_60 MSC60 MICROSOFT_50 MSC50 MSC1100 MICROSOFT_20 MSC0900 MSC40
          MICROSOFT_15 MSC0800 MSC15 IAR"
missing=""
for d in $dialects; do
    [ -f "$util/$d.def" ] && grep -q '^I /' "$util/$d.def" || missing+=" $d.def"
    [ -f "$util/$d.ign" ] || missing+=" $d.ign"
done
check_eq "every dialect has its options and ignore files" "" "$missing"

# GNU.def is the host compiler's (named on its first line): all its macros,
# its search list in order.
host_cc=$(sed -n '1s/.* from \(.*\)\.$/\1/p' "$util/GNU.def")
check_eq "GNU.def: gcc's predefined macros" "$("$host_cc" -dM -E -x c /dev/null | sed 's/^#define //' | LC_ALL=C sort)" \
    "$(sed -n 's/^D //p' "$util/GNU.def")"
check_eq "GNU.def: gcc's include directories" \
    "$("$host_cc" -x c -E -v /dev/null 2>&1 >/dev/null | sed -n '/^#include <\.\.\.>/,/^End of search/p' | sed '1d;$d;s/^ *//')" \
    "$(sed -n 's/^I //p' "$util/GNU.def")"
for d in GNU_RHEL_3 GNU_RHEL_4 GNU_D950; do
    check_eq "$d has the GNU data" "$(sed 1d "$util/GNU.def")" "$(sed 1d "$util/$d.def")"
    check_eq "$d has the GNU rules" "$(cat "$util/GNU.ign")" "$(cat "$util/$d.ign")"
done
# The other dialects predefine their own macros, never GCC's.
check_eq "no GCC macro outside the GNU dialects" "" \
    "$(cd "$util" && grep -l '^D __GNUC__' *.def | grep -v '^GNU')"
check_contains "C99.def" "$(cat "$util/C99.def")" $'D __STDC__ 1\nD __STDC_VERSION__ 199901L\n'
check_contains "MSC70.def" "$(cat "$util/MSC70.def")" $'\nD _MSC_VER 1300\n'
check_contains "KR78.def makes const vanish" "$(cat "$util/KR78.def")" $'\nD const\n'

# --- GNU C ---------------------------------------------------------------

# The corpus: every file preprocessed, analysed without a message and
# compiled; the hook names each function at its line (after the functions
# of the headers).
fresh
for source in "$corpus"/*.c; do pp GNU "$source" "$(basename "$source")"; done
run "$QORD" -nocccp -batch -dial GNU -cc=gcc -c headers.c list.c strbuf.c sysdep.c table.c
check_eq "GNU corpus: no message" "" "$err"
check_rc "GNU corpus" 0
for object in headers.o list.o strbuf.o sysdep.o table.o; do check_file "GNU corpus: gcc compiled $object" "$object"; done
check_lacks "GNU corpus: nothing to report" "$out" "error"
components() { printf 'onComponent %s\n' "$@"; }
check_contains "headers.c: components" "$out" "$(components "on_signal 45" "log_to 47" "sum_ints 56" "is_word 67" \
    "fail 75" "square128 81" "list_directory 86" "worker 102" "main 110")"
check_contains "list.h: components" "$out" "$(components "list_init 27" "__list_add 33" "list_add_tail 41" \
    "list_empty 46")"
check_contains "list.c: components" "$out" "$(components "list_del 14" "list_count 21" "job_new 30" \
    "job_first_urgent 40" "job_drain 51")"
check_contains "strbuf.c: components" "$out" "$(components "strbuf_grow 10" "strbuf_vaddf 27" "strbuf_addf 41" \
    "strbuf_release 51" "strbuf_join 57")"
check_contains "sysdep.c: components" "$out" "$(components "rdtsc 14" "compiler_barrier 21" "has_sse42 26" \
    "mul_hi 34" "highest_bit 40" "count_event 45" "elapsed 54" "swap_names 64")"
check_contains "table.c: components" "$out" "$(components "classify 41" "kind_name 57" "count_kind 62" \
    "same_point 70" "describe_number 78" "level_of 84")"

# --- The default path: the external preprocessor -----------------------

# metric MTR COMPONENT NAME: the value of a metric in a results file.
metric() {
    local id comp
    id=$(sed -n "s/^{\"\([0-9]*\)\",\"$3\",.*/\1/p" "$1")
    comp=$(sed -n "s/^{\"\([0-9]*\)\",\"$2\",\"[0-9]*\"}.*/\1/p" "$1")
    sed -n "s/^{\"[0-9]*\",\" *\([0-9.]*\)\",\"$id\",\"$comp\"}.*/\1/p" "$1"
}

# The corpus as the build gives it: full_prepro reads the sources and the
# headers; no message, the same functions, the macro uses counted.
fresh
cp "$corpus"/*.c "$corpus"/*.h .
run "$QORD" -batch -dial GNU -cc=gcc -O2 -D_FORTIFY_SOURCE=2 -c headers.c list.c strbuf.c sysdep.c table.c
check_eq "default path: no message" "" "$err"
check_rc "default path" 0
for object in headers.o list.o strbuf.o sysdep.o table.o; do check_file "default path: gcc compiled $object" "$object"; done
check_contains "default path: headers.c components" "$out" "$(components "on_signal 45" "log_to 47" \
    "sum_ints 56" "is_word 67" "fail 75" "square128 81" "list_directory 86" "worker 102" "main 110")"
check_contains "default path: list.h components" "$out" "$(components "list_init 27" "__list_add 33" \
    "list_add_tail 41" "list_empty 46")"
check_contains "default path: list.c components" "$out" "$(components "list_del 14" "list_count 21" "job_new 30")"
# va_start and va_end; va_start, va_arg and va_end: function-like uses.
check_eq "default path: MACP of log_to" "2.00" "$(metric headers.mtr log_to MACP)"
check_eq "default path: MACP of sum_ints" "3.00" "$(metric headers.mtr sum_ints MACP)"
check_eq "default path: MACC of sum_ints" "0.00" "$(metric headers.mtr sum_ints MACC)"
check_contains "default path: headers recorded" "$(cat headers.sta)" "*MO*"

# The same in every GNU dialect name, and with the C library's optimised
# and fortified inline functions.
fresh
pp GNU "$corpus/headers.c" headers.c -D__OPTIMIZE__ -D_FORTIFY_SOURCE=2 -D_GNU_SOURCE
for d in GNU_RHEL_3 GNU_RHEL_4 GNU_D950; do
    run "$QORD" -nocccp -batch -dial "$d" -cc=gcc -O2 -c headers.c
    check_eq "$d: optimised headers, no message" "" "$err"
    check_rc "$d: optimised headers" 0
done

# --- The C library's headers in the other dialects ----------------------

fresh
cat >portable.c <<'C'
/* Standard C that includes the C library's headers. */
#include <assert.h>
#include <ctype.h>
#include <errno.h>
#include <limits.h>
#include <locale.h>
#include <math.h>
#include <setjmp.h>
#include <signal.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static jmp_buf again;

int report(FILE *out, const char *format, ...)
{
    va_list ap;
    int n;
    va_start(ap, format);
    n = vfprintf(out, format, ap);
    va_end(ap);
    return n;
}

int main(int argc, char **argv)
{
    size_t i, upper = 0;
    if (setjmp(again))
        return EXIT_FAILURE;
    for (i = 0; argc > 1 && argv[1][i]; i++)
        if (isupper((unsigned char)argv[1][i]))
            upper++;
    report(stdout, "%lu %d %g %s\n", (unsigned long)upper, INT_MAX, sqrt(2.0), strerror(errno));
    return time(NULL) > 0 ? 0 : 1;
}
C
for d in ANSI HP_ANSI KR78 HP SUN MCC MCC_STD DIAB MSC70 MSC60 MSC50 MSC40 MSC15 IAR C99; do
    std=-std=c89
    [ "$d" = C99 ] && std=-std=c99
    pp "$d" portable.c "portable_$d.c" "$std"
    run "$QORD" -nocccp -batch -dial "$d" -cc="$FAKE" -c "portable_$d.c"
    check_eq "$d: standard headers, no message" "" "$err"
    check_contains "$d: both functions" "$out" $'onComponent report 19\nonComponent main 29\n'
done

# --- GNU C in the other dialects -----------------------------------------

# What the GNU dialects accept through their keywords, grammar rules and
# ignore rules stays an error elsewhere, with the installation's data too.
fresh
cat >gnu_only.c <<'C'
int f1(int *p) { return __builtin_va_arg(*p, int); }
int f2(int c) { switch (c) { case 1 ... 3: return 1; } return 0; }
int f3(void) { __int128 big = 0; return (int)big; }
int f4(void) { return __builtin_offsetof(struct { int a, b; }, b); }
const char *f5(void) { return u8"text"; }
C
for d in ANSI C99 MSC70; do
    run "$QORD" -nocccp -batch -dial "$d" -cc="$FAKE" -c gnu_only.c
    check_eq "$d: GNU only constructs are errors" "gnu_only.c(1): Error:  syntax error before \`int'
gnu_only.c(2): Error:  syntax error before \`...'
gnu_only.c(3): Error:  syntax error before \`big'
gnu_only.c(4): Error:  syntax error before \`struct'
gnu_only.c(5): Error:  syntax error before string constant
qor_cc: 5 error(s).
" "$err"
    check_not_compiled "$d: GNU only constructs"
done
run "$QORD" -nocccp -batch -dial GNU -cc="$FAKE" -c gnu_only.c
check_eq "GNU: the same constructs" "" "$err"
check_contains "GNU: the same constructs, measured" "$out" "$(components "f1 1" "f2 2" "f3 3" "f4 4" "f5 5")"

finish
