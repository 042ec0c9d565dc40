# An instrumented copy keeps the system headers' status: with the project's
# strictest warning flags the C library's text draws no diagnostic that
# the plain build does not draw, in every standard and at -O0 and -O2.
source "${QOR_E2E_LIB:?}" || exit 1
GQ="$QOR_FULL_STAGE/bin/qor_cc"
STRICT=(-pedantic -Wall -Wextra -Wshadow -Wcast-qual -Wconversion -Wredundant-decls -Wstrict-prototypes
        -Wmissing-prototypes -Wundef)

fresh
cat >lib.c <<'C'
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int count_words(const char *text);

#include <limits.h>

int count_words(const char *text)
{
    int words = 0;
    int inside = 0;
    for (; *text != '\0'; text++) {
        if (isspace((unsigned char)*text)) {
            inside = 0;
        } else if (inside == 0) {
            inside = 1;
            words++;
        }
    }
    return words;
}

int main(int argc, char **argv)
{
    const char *text = argc > 1 ? argv[1] : "one two  three";
    char *copy = malloc(strlen(text) + 1);
    if (copy == NULL)
        return 1;
    strcpy(copy, text);
    printf("%d %s\n", count_words(copy), copy);
    free(copy);
    return 0;
}
C
gcc -o plain lib.c && ./plain >expected.out

for std in c89 c99 gnu11 gnu17; do
    for level in -O0 -O2; do
        flags=(-std=$std "${STRICT[@]}" "$level")
        gcc "${flags[@]}" -Werror -c lib.c -o plain.o
        check_eq "plain build -std=$std $level" 0 "$?"
        for mode in -inst "-inst -cond"; do
            name="-std=$std $level $mode"
            rm -f lib.o
            # shellcheck disable=SC2086
            run "$GQ" -quiet $mode -dial GNU -cc=gcc "${flags[@]}" -Werror -c lib.c
            check_eq "$name: no diagnostic" "" "$err"
            check_rc "$name" 0
            gcc -o inst lib.o && ./inst >inst.out
            check_eq "$name: same output" "$(cat expected.out)" "$(cat inst.out)"
        done
    done
done

# The copy holds no system-header text and no line marker of its own; the
# companion holds the text under the system-header flag.
check_lacks "copy without the library's text" "$(cat lib.inst.c)" "extern int printf"
check_lacks "copy without line markers" "$(grep -c '^# [0-9]' lib.inst.c)" "[1-9]"
check_contains "companion: system header" "$(cat lib.inst.sys.h)" $'#pragma GCC system_header\n'
check_contains "companion: flag 3" "$(cat lib.inst.sys.h)" $'# 1 "/usr/include/stdio.h" 3\n'
# One part for the four headers of consecutive lines, which only white
# space separates in the copy, and one for the header after the
# declaration.
check_eq "companion parts" 2 "$(grep -c '^#include "lib.inst.sys.h"$' lib.inst.c)"

# A failed analysis leaves neither the copy nor its companion behind.
printf '#include <stdio.h>\n#include "absent.h"\nint f(void) { return 0; }\n' >bad.c
run "$GQ" -quiet -inst -nocccp -dial GNU -cc=gcc -c bad.c
check_rc "failed analysis" 1
check_no_file "failed analysis: no copy" bad.inst.c
check_no_file "failed analysis: no companion" bad.inst.sys.h

finish
