# Preprocessing: the built-in preprocessor reads the whole file with its
# project headers, conditionals and macros and names the right lines; the
# external preprocessor's absence costs the analysis, not the build.
source "${QOR_E2E_LIB:?}" || exit 1

project() {
    mkdir -p inc cache
    cat >inc/defs.h <<'H'
/* Limits of the
   controller. */
#ifndef DEFS_H
#define DEFS_H
typedef int level_t;
#endif
H
    cat >ctl.c <<'C'
// Controller.
#include "inc/defs.h"
#include "inc/defs.h"
#if MODE > 1
int fast = 0x;
#else
int slow = 0x;
#endif
/* a comment over
   two lines */
int g = 1.2.3;
#include <inc/missing.h>
#line 200 "gen.c"
int h = 12abc;
C
    printf 'I .\n' >ANSI.def
}

# Internal mode: every message of the file, at its line, and the headers
# recorded as inputs (once).
fresh; project
run "$QOR" -nocccp -batch -dial ansi -DMODE=2 -cc="$FAKE" -c ctl.c
check_eq "internal: messages" "ctl.c(5): Error:  invalid numeric constant
ctl.c(11): Error:  invalid floating constant
ctl.c(12): Error:  cannot open include file \"inc/missing.h\"
gen.c(200): Error:  nondigits in number
qor_cc: 4 error(s).
" "$err"
check_rc "internal with errors" 1
check_no_file "no compile after errors" fake.log

sed -i '/0x;/d; /1.2.3/d; /missing/d; /12abc/d' ctl.c
run "$QOR" -nocccp -batch -dial ansi -cc="$FAKE" -c ctl.c
check_eq "internal clean: stderr" "" "$err"
check_rc "internal clean" 0
check_count "header recorded once" "$(cat cache/ctl.qor_cc)" "incr::DepInput {inc/defs.h}" 1
check_contains "compiled" "$(cat fake.log)" "ctl.c"

# -E ends the run after the start, with status 0 and nothing compiled.
fresh; project
run "$QOR" -nocccp -batch -dial ansi -E -cc="$FAKE" ctl.c
check_rc "-E" 0
check_no_file "-E compiles nothing" fake.log

# Without the external preprocessor the file is not analysed, with a
# warning naming the command; the build goes on.
fresh; mk_c a.c
copy_install noprepro
rm -f "$scratch/noprepro/bin/full_prepro"
run "$scratch/noprepro/bin/qor_cc" -batch -dial gnu -DX=1 -cc="$FAKE" -c a.c
check_eq "no full_prepro: stderr" "warning : Unable to locate GNU.def file
Warning(s) or error(s) found at preprocessing time: Warning:  $scratch/noprepro/bin/full_prepro -C -dial gnu -trigraphs -DX=1 a.c 

qor_cc: 1 warning(s).
" "$err"
check_rc "no full_prepro" 0
check_contains "still compiled" "$(cat fake.log)" "a.c"

finish
