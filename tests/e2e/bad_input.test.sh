# Bad input and failures (the table "Bad input and failures" of the
# README): each gets its message, its exit status, and a defined state of
# the results, the instrumented file and the object file; none hangs.
#
# Root may mount: the script then runs in a mount namespace of its own, so
# that the small full file system of the disk-full cases vanishes with it.
if [ -z "${QOR_BAD_INPUT_NS:-}" ] && [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    QOR_BAD_INPUT_NS=1 exec unshare -m bash "$0" "$@"
fi
source "${QOR_E2E_LIB:?}" || exit 1

# analyze CMD...: runs CMD, a qor_cc command, with the stand-in compiler,
# which compiles the source when the analysis lets it; each run is timed.
analyze() {
    local start=$(date +%s%N)
    rm -f "$FAKE_LOG"
    run "$@" -batch -nodate -cc="$FAKE" -c
    elapsed_ms=$((($(date +%s%N) - start) / 1000000))
}
qor() { analyze "$QOR" "$@"; }
check_fast() { # NAME SECONDS: the last run took less
    if [ "$elapsed_ms" -lt $(($2 * 1000)) ]; then ok; else not_ok "$1 took ${elapsed_ms} ms"; fi
}
check_compiled() { check_file "$1 (compiled)" "$FAKE_LOG"; }
check_results() { check_file "$1 (archive)" "${2:-a}.sta"; check_file "$1 (metrics)" "${2:-a}.mtr"; }
check_no_results() { check_no_file "$1 (archive)" "${2:-a}.sta"; check_no_file "$1 (metrics)" "${2:-a}.mtr"; }
check_no_temporaries() { # NAME DIR
    check_eq "$1 (no temporary left)" "" "$(find "${2:-.}" -name '*.tmp')"
}
# The preprocessors: external (the default) and built-in.
preprocessors=(external builtin)
pp_option() { [ "$1" = builtin ] && echo -nocccp; }

# --- Contents -------------------------------------------------------------

# A binary file: its stray characters are syntax errors, which keep the
# results and mark the build state. (The external preprocessor, in the
# default Microsoft dialect, ends the text at the first Ctrl-Z, as DOS did.)
for pp in "${preprocessors[@]}"; do
    fresh
    for i in $(seq 0 255); do printf "\\$(printf %03o "$i")"; done >byte_values
    for i in $(seq 16); do cat byte_values; done >a.c
    qor $(pp_option $pp) a.c
    check_rc "binary file ($pp)" 1
    check_contains "binary file ($pp): message" "$err" "a.c(1): Error:  syntax error"
    check_results "binary file ($pp)"
    check_file "binary file ($pp): build state marked" build_state.srr
    check_not_compiled "binary file ($pp)"
done

# NUL bytes: the external preprocessor drops them with a warning, the
# built-in one gives a syntax error.
fresh; printf 'int a;\0int b;\n' >a.c
qor a.c
check_contains "NUL bytes" "$err" "a.c(1): Warning: null character ignored"
check_rc "NUL bytes" 0
check_results "NUL bytes"; check_compiled "NUL bytes"
fresh; printf 'int a;\0int b;\n' >a.c
qor -nocccp a.c
check_contains "NUL bytes (builtin)" "$err" "a.c(1): Error:  syntax error at null character"
check_rc "NUL bytes (builtin)" 1
check_results "NUL bytes (builtin)"; check_not_compiled "NUL bytes (builtin)"

for pp in "${preprocessors[@]}"; do
    fresh; : >a.c
    qor $(pp_option $pp) a.c
    check_eq "empty file ($pp): stderr" $'warning : Unable to locate MSC70.def file\n' "$err"
    check_rc "empty file ($pp)" 0
    check_contains "empty file ($pp): archive without components" "$(cat a.sta)" $'*CM*\nCURRENT_VERSION\n*FI*'
    check_compiled "empty file ($pp)"
done

# One line of 10 MB: a function, then a long string, a long comment and a
# long expression (a million tokens).
fresh
{
    printf 'int f(int a) { return a; } char *s = "'
    head -c 4500000 /dev/zero | tr '\0' s
    printf '"; /* '
    head -c 4500000 /dev/zero | tr '\0' c
    printf ' */ int v = 1'
    yes '+1' | head -n 500000 | tr -d '\n'
    printf ';\n'
} >a.c
for pp in "${preprocessors[@]}"; do
    rm -f a.sta a.mtr
    qor $(pp_option $pp) a.c
    echo "10 MB line ($pp): ${elapsed_ms} ms"
    check_rc "10 MB line ($pp)" 0
    check_contains "10 MB line ($pp): function measured" "$(cat a.sta)" $'*MO*\nf '
    check_compiled "10 MB line ($pp)"
    check_fast "10 MB line ($pp)" 10
done

# Unterminated comment: the external preprocessor's error only warns (the
# text it gave is analysed and the compiler has the last word); the built-in
# one counts an error, which removes the results.
fresh; printf 'int f(void) { return 1; }\n/* open' >a.c
qor a.c
check_contains "unterminated comment" "$err" "a.c(2): Error: unterminated /* comment
Warning(s) or error(s) found at preprocessing time: Warning: "
check_rc "unterminated comment" 0
check_results "unterminated comment"; check_compiled "unterminated comment"
qor -nocccp a.c
check_contains "unterminated comment (builtin)" "$err" "a.c(2): Error:  EOF in comment"
check_rc "unterminated comment (builtin)" 1
check_no_results "unterminated comment (builtin)"

fresh; printf 'int f(void) { return 1; }\nchar *s = "open' >a.c
qor a.c
check_contains "unterminated string" "$err" "a.c(2): Warning: missing terminating '\"' character"
check_contains "unterminated string: syntax error" "$err" "Error:  syntax error at end of file"
check_rc "unterminated string" 1
check_results "unterminated string"; check_not_compiled "unterminated string"
qor -nocccp a.c
check_contains "unterminated string (builtin)" "$err" "a.c(2): Error:  syntax error at end of file"
check_rc "unterminated string (builtin)" 1

# --- Nesting and recursion -------------------------------------------------

nested() { # OPEN INNER CLOSE N
    local i
    for ((i = 0; i < $4; i++)); do printf '%s' "$1"; done
    printf '%s' "$2"
    for ((i = 0; i < $4; i++)); do printf '%s' "$3"; done
}
for pp in "${preprocessors[@]}"; do
    fresh; { printf 'int f(int x) { return '; nested '(' x ')' 200; printf '; }\n'; } >a.c
    qor $(pp_option $pp) a.c
    echo "200 parentheses ($pp): ${elapsed_ms} ms"
    check_rc "200 parentheses ($pp)" 0
    check_compiled "200 parentheses ($pp)"
    check_fast "200 parentheses ($pp)" 2
    # The parser's stack holds 10000 states.
    { printf 'int f(int x) { return '; nested '(' x ')' 20000; printf '; }\n'; } >a.c
    qor $(pp_option $pp) a.c
    check_contains "20000 parentheses ($pp)" "$err" "a.c(1): Error:  memory exhausted before \`('"
    check_rc "20000 parentheses ($pp)" 1
    check_no_results "20000 parentheses ($pp)"
    check_fast "20000 parentheses ($pp)" 2
done

# 100 nested scopes end the run; the file's old results go with it.
fresh; printf 'int f(void) { return 1; }\n' >good.c
{ cat good.c; printf 'void g(void) '; nested '{' '' '}' 101; echo; } >bad.c
cp good.c a.c; qor -nocccp -inst a.c
cp bad.c a.c; qor -nocccp -inst a.c
check_eq "101 nested blocks" "warning : Unable to locate MSC70.def file
qor_cc: Error: a.c(2): Too many nesting : unable to continue analysis
qor_cc: 1 error(s).
" "$err"
check_rc "101 nested blocks" 2
check_no_results "101 nested blocks: old results removed"
check_no_file "101 nested blocks: old instrumented file removed" a.inst.c
check_no_temporaries "101 nested blocks"
check_not_compiled "101 nested blocks"
cp good.c a.c; qor -nocccp a.c
cp bad.c a.c; QOR_CC_NO_DEL=1 qor -nocccp a.c
check_rc "101 nested blocks with QOR_CC_NO_DEL" 2
check_results "101 nested blocks with QOR_CC_NO_DEL: old results kept"

# The built-in preprocessor takes 31 nested #if; the external one more.
fresh; { nested $'#if 1\n' $'int x;\n' $'#endif\n' 32; } >a.c
qor a.c
check_rc "32 nested #if" 0
check_results "32 nested #if"
qor -nocccp a.c
check_contains "32 nested #if (builtin)" "$err" $'qor_cc: Error: a.c(32): too many nested #if statements\nqor_cc: 1 error(s).\n'
check_rc "32 nested #if (builtin)" 2
check_no_results "32 nested #if (builtin): old results removed"
check_not_compiled "32 nested #if (builtin)"

# Macros that expand to themselves stop expanding, from the source or from
# the options file.
fresh
printf 'D a b\nD b a\nD f(x) f(x)\nD g(x) g(g(x))\n' >recursive.def
printf 'int a;\nint h(int y) { return f(y) + g(y) + a; }\n' >a.c
for pp in "${preprocessors[@]}"; do
    qor $(pp_option $pp) -ddef recursive.def a.c
    check_rc "recursive macros, options file ($pp)" 0
    check_compiled "recursive macros, options file ($pp)"
    check_fast "recursive macros, options file ($pp)" 2
done
fresh; printf '#define a b\n#define b a\n#define f(x) f(x)\nint a;\nint h(int y) { return f(y) + a; }\n' >a.c
qor a.c
check_rc "recursive macros, source" 0
check_contains "recursive macros, source: f called" "$(cat a.sta)" $'.DA.\nf 2#'

# --- Files that cannot be read --------------------------------------------

fresh; printf '#include "absent.h"\nint f(void) { return 1; }\n' >a.c
qor a.c
check_contains "missing include" "$err" "a.c(1): Error: 'absent.h' file not found
Warning(s) or error(s) found at preprocessing time: Warning: "
check_rc "missing include" 0
check_results "missing include"; check_compiled "missing include"
qor -nocccp -cb a.c
check_contains "missing include (builtin)" "$err" 'a.c(1): Error:  cannot open include file "absent.h"'
check_rc "missing include (builtin)" 1
check_no_results "missing include (builtin)"; check_not_compiled "missing include (builtin)"
check_no_file "missing include (builtin): no basic counts" a.cb

fresh; mkdir a.c
qor a.c
check_eq "directory as source" $'a.c: Error:  is a directory.\nqor_cc: 1 error(s).\n' "$err"
check_rc "directory as source" 1
check_not_compiled "directory as source"

# Root reads every file; without its capabilities permissions apply.
unprivileged() {
    if [ "$(id -u)" -ne 0 ]; then "$@"; else
        setpriv --inh-caps=-dac_override,-dac_read_search --bounding-set=-dac_override,-dac_read_search "$@"
    fi
}
fresh; mk_c a.c; chmod 000 a.c
if unprivileged test -r a.c 2>/dev/null || ! unprivileged true 2>/dev/null; then
    echo "skipped: unreadable source (permissions cannot be made to apply here)"
else
    analyze unprivileged "$QOR" a.c
    check_contains "unreadable source" "$err" $'a.c: Error:  Permission denied\nqor_cc: 1 error(s).\n'
    check_rc "unreadable source" 1
    check_no_results "unreadable source"; check_not_compiled "unreadable source"
fi

# --- Outputs that cannot be written ---------------------------------------

fresh; mk_c a.c
qor -o absent/ a.c
check_contains "missing output directory" "$err" "absent/a.mtr: Error:  No such file or directory
absent/a.sta: Error:  No such file or directory
qor_cc: 2 error(s)."
check_rc "missing output directory" 1
check_not_compiled "missing output directory"
qor -inst -o absent/ a.c
check_contains "missing output directory, dynamic" "$err" \
    $'qor_cc: Error: absent/a.inst.c: No such file or directory\nqor_cc: 1 error(s).\n'
check_rc "missing output directory, dynamic" 2

fresh; mk_c a.c; mkdir out; chmod 555 out
if unprivileged test -w out 2>/dev/null || ! unprivileged true 2>/dev/null; then
    echo "skipped: output directory not writable (permissions cannot be made to apply here)"
else
    analyze unprivileged "$QOR" -o out a.c
    check_contains "output directory not writable" "$err" "out/a.mtr: Error:  Permission denied
out/a.sta: Error:  Permission denied
qor_cc: 2 error(s)."
    check_rc "output directory not writable" 1
    check_not_compiled "output directory not writable"
    check_eq "output directory not writable: empty" "" "$(ls -A out)"
fi

# A full disk: a small tmpfs that is full when root may mount one here, and
# a file size limit (RLIMIT_FSIZE, with SIGXFSZ ignored so that writes fail
# with EFBIG) everywhere. Under the limit of 1000 bytes the archive (about
# 400) still fits, the metrics file (about 3600) and the header do not.
full_tmpfs() { # CMD...: with the file system of out/ full
    dd if=/dev/zero of=out/filler bs=4k 2>/dev/null
    "$@"
    set -- $?
    rm -f out/filler
    return "$1"
}
full_fsize() { ( trap '' XFSZ; exec prlimit --fsize=1000 "$@" ); }
mechanisms=(fsize)
[ -n "${QOR_BAD_INPUT_NS:-}" ] && mkdir "$scratch/probe" &&
    mount -t tmpfs -o size=64k tmpfs "$scratch/probe" 2>/dev/null && umount "$scratch/probe" &&
    mechanisms+=(tmpfs) || echo "skipped: full disk on tmpfs (cannot mount here)"
for mech in "${mechanisms[@]}"; do
    reason=$([ $mech = tmpfs ] && echo "No space left on device" || echo "File too large")
    fresh; mkdir out
    [ $mech = tmpfs ] && mount -t tmpfs -o size=256k tmpfs out
    mk_c a.c
    qor -inst -o out a.c
    cp -R out old
    printf 'int g(int y) { return y * 2; }\n' >>a.c
    QOR_CC_NO_DEL=1 analyze full_$mech "$QOR" -o out a.c
    check_contains "full disk, $mech: message" "$err" "out/a.mtr: Error:  $reason"
    check_rc "full disk, $mech" 1
    check_eq "full disk, $mech: old metrics kept" "" "$(cmp out/a.mtr old/a.mtr 2>&1)"
    check_no_temporaries "full disk, $mech" out
    check_not_compiled "full disk, $mech"
    analyze full_$mech "$QOR" -o out a.c
    check_rc "full disk, $mech, results removed" 1
    check_no_results "full disk, $mech, results removed" out/a
    # The instrumented file ends the run.
    cp old/* out/
    for i in $(seq 60); do printf 'int f%d(int x) { return x + %d; }\n' "$i" "$i"; done >>a.c
    QOR_CC_NO_DEL=1 analyze full_$mech "$QOR" -inst -o out a.c
    check_contains "full disk, $mech, instrumented file" "$err" "qor_cc: Error: out/a.inst.c: $reason"
    check_rc "full disk, $mech, instrumented file" 2
    check_eq "full disk, $mech, instrumented file: old one kept" "" "$(cmp out/a.inst.c old/a.inst.c 2>&1)"
    check_no_temporaries "full disk, $mech, instrumented file" out
    check_not_compiled "full disk, $mech, instrumented file"
    [ $mech = tmpfs ] && umount out
done
# The header, written by the installation's script, keeps its old version.
fresh; mkdir out; mk_c a.c
analyze "$QOR" -inst -nomtr -o out a.c
cp out/a.inst.h old.h
printf 'int g(int y) { return y * 2; }\n' >>a.c
QOR_CC_NO_DEL=1 analyze full_fsize "$QOR" -inst -nomtr -o out a.c
check_contains "full disk, header" "$err" "cannot write out/a.inst.h: error writing"
check_rc "full disk, header" 1
check_eq "full disk, header: old one kept" "" "$(cmp out/a.inst.h old.h 2>&1)"
check_no_temporaries "full disk, header" out
check_not_compiled "full disk, header"

# A results file that is a device is written in place: its errors count.
fresh; mk_c a.c; ln -s /dev/full a.mtr
qor a.c
check_contains "metrics file on /dev/full" "$err" "a.mtr: Error:  No space left on device"
check_rc "metrics file on /dev/full" 1

# --- Hook and instrumentation scripts --------------------------------------

copy_install nohook
rm "$scratch/nohook/Scripts/qor_cc/qor_cc.tcl"
fresh; mk_c a.c
qor_in() { local install=$1; shift; analyze "$scratch/$install/bin/qor_cc" "$@"; }
qor_in nohook a.c
check_contains "missing hook script" "$err" $'Error(s): during tcl evaluation\ncouldn\'t read file "'
check_rc "missing hook script" 1
check_no_results "missing hook script"; check_not_compiled "missing hook script"

copy_install failinghook
printf 'namespace eval qor_cc {}\nproc qor_cc::onFile {s} { error "no repository" }\nproc qor_cc::onComponent {n l} {}\nproc qor_cc::doMetrics {} {}\n' \
    >"$scratch/failinghook/Scripts/qor_cc/qor_cc.tcl"
fresh; mk_c a.c
qor_in failinghook a.c
check_contains "failing hook" "$err" $'Error(s): during tcl evaluation\nno repository\n    while executing'
check_rc "failing hook" 1
check_no_results "failing hook"; check_not_compiled "failing hook"

fresh; mk_c a.c
qor -inst -tcl absent.tcl a.c
check_contains "missing instrumentation script" "$err" \
    $'qor_cc: Error: No TCL command "Instrument" available for instrumentation\nqor_cc: 1 error(s).\n'
check_rc "missing instrumentation script" 2
check_no_file "missing instrumentation script: no instrumented file" a.inst.c
check_no_temporaries "missing instrumentation script"
check_not_compiled "missing instrumentation script"

printf 'proc Instrument {} {\n' >broken.tcl
qor -inst -tcl broken.tcl a.c
check_contains "instrumentation script that does not load" "$err" \
    $'Error(s): during tcl evaluation\n"broken.tcl", line 1: missing close-brace\n'
check_rc "instrumentation script that does not load" 1
check_contains "instrumentation script that does not load: summary" "$err" "qor_cc: 1 error(s)."
check_no_file "instrumentation script that does not load: no instrumented file" a.inst.c
check_no_temporaries "instrumentation script that does not load"

printf 'proc Instrument {} { error "header refused" }\n' >failing.tcl
qor -inst -tcl failing.tcl a.c
check_contains "failing instrumentation script" "$err" $'"failing.tcl", line 1: header refused\n'
check_rc "failing instrumentation script" 1
check_no_file "failing instrumentation script: instrumented file removed" a.inst.c
check_no_results "failing instrumentation script"; check_not_compiled "failing instrumentation script"

# --- The compiler -------------------------------------------------------

fresh; mk_c a.c
run "$QOR" -batch -cc=/nonexistent/cc -c a.c
check_eq "compiler not found" $'warning : Unable to locate MSC70.def file\n/nonexistent/cc: Error:  No such file or directory\nError(s): during compilation\n' "$err"
check_rc "compiler not found" 127
check_results "compiler not found"
for sig in KILL:137 SEGV:139; do
    printf '#!/bin/sh\nkill -s %s $$\n' "${sig%:*}" >dying_cc; chmod +x dying_cc
    rm -f a.sta a.mtr
    run "$QOR" -batch -cc=./dying_cc -c a.c
    check_eq "compiler killed by SIG${sig%:*}" $'warning : Unable to locate MSC70.def file\nError(s): during compilation\n' "$err"
    check_rc "compiler killed by SIG${sig%:*}" "${sig#*:}"
    check_results "compiler killed by SIG${sig%:*}"
done

finish
