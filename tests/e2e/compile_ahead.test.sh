# In a static build the compiler runs while the analysis runs. What it
# prints must keep its place, as when it runs after the analysis (as it
# does for a terminal), and an analysis that fails must leave no object of
# it behind.
source "${QOR_E2E_LIB:?}" || exit 1

# A compiler that logs its run, talks on both streams and writes its -o
# file (unless OBJ_KEEP is set), then exits with FAKE_STATUS. OBJ_BIG adds
# 588,895 bytes of output. With OBJ_KILL it first waits for the analysis
# to be in its hook (file "analysing"), and once the object is written
# sends that signal to qor_cc and creates "signal_sent".
OBJ_CC="$scratch/obj_cc"
cat >"$OBJ_CC" <<'SH'
#!/bin/sh
echo run >>"$FAKE_LOG"
if [ -n "${OBJ_KILL:-}" ]; then
    i=0; while [ ! -e analysing ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i + 1)); done
fi
echo "cc out 1"; echo "cc err 1" >&2; echo "cc out 2"; echo "cc err 2" >&2
[ -n "${OBJ_BIG:-}" ] && seq 100000
while [ $# -gt 1 ]; do
    [ "$1" = -o ] && [ -z "${OBJ_KEEP:-}" ] && echo new >"$2"
    shift
done
[ -n "${OBJ_KILL:-}" ] && kill -s "$OBJ_KILL" $PPID && touch signal_sent
exit "${FAKE_STATUS:-0}"
SH
chmod +x "$OBJ_CC"
# The hook script prints each component; with WAIT_FOR set, the analysis
# of a file creates "analysing" and waits for that file to appear.
hooked_install hooked
cat >>"$scratch/hooked/Scripts/qor_cc/qor_cc.tcl" <<'TCL'
proc qor_cc::onFile {source} {
    if {![info exists ::env(WAIT_FOR)]} return
    close [open analysing w]
    for {set i 0} {$i < 400 && ![file exists $::env(WAIT_FOR)]} {incr i} { after 50 }
}
TCL
# compile: the static build of a.c into x.o, with $CC_CMD (default the
# compiler above) as the compiler.
COMPILE="$scratch/compile"
printf '#!/bin/sh\nexec "%s" -batch -nocccp -nodate -cc="${CC_CMD:-%s}" -c a.c -o x.o\n' \
    "$scratch/hooked/bin/qor_cc" "$OBJ_CC" >"$COMPILE"
chmod +x "$COMPILE"
good() { printf 'int f(int a) { return a; }\nint g(void) { return 2; }\n' >a.c; }
bad() { printf 'int f(int a) { return a; }\nint g(void) { return 2 }\n' >a.c; }
on_terminal() { script -qec "$COMPILE" /dev/null </dev/null | tr -d '\r'; }

# The same bytes, in the same order, as through a terminal, where the
# compiler runs after the analysis: with both streams in one file, with
# the compiler failing and with no compiler to be found.
for case in 0:"" 1:"" 127:/nonexistent/cc; do
    export FAKE_STATUS=${case%%:*} CC_CMD=${case#*:}
    fresh; good
    "$COMPILE" >both 2>&1
    rc=$?
    check_rc "one file for both streams, compiler status $FAKE_STATUS" "$FAKE_STATUS"
    fresh; good
    check_content "one file for both streams, compiler status $FAKE_STATUS" ../case$((case_no - 1))/both "$(on_terminal)"$'\n'
done
unset FAKE_STATUS CC_CMD
fresh; good
run "$COMPILE"
check_eq "standard output" $'Analyzing: a.c...\nonComponent f 1\nonComponent g 2\ncc out 1\ncc out 2\n' "$out"
check_eq "standard error" $'warning : Unable to locate MSC70.def file\ncc err 1\ncc err 2\n' "$err"
check_content "object" x.o $'new\n'

# Output that a pipe left non-blocking by its reader cannot take at once.
fresh; good
OBJ_BIG=1 perl - "$COMPILE" >sizes <<'PL'
use Fcntl;
pipe(my $r, my $w) or die;
fcntl($w, F_SETFL, fcntl($w, F_GETFL, 0) | O_NONBLOCK);
my $pid = fork();
if ($pid == 0) { close $r; open(STDOUT, ">&", $w); open(STDERR, ">", "/dev/null"); exec $ARGV[0]; exit 127; }
close $w;
select(undef, undef, undef, 0.5);
my $data = "";
while (sysread($r, my $chunk, 65536)) { $data .= $chunk; }
waitpid($pid, 0);
print $? >> 8, " ", length($data), "\n";
PL
check_content "non-blocking standard output" sizes "0 $((18 + 32 + 18 + 588895))"$'\n'

# An analysis with errors runs no compile step: the compiler that ran
# ahead is waited for, its output is dropped and the object it made or
# changed is removed.
fresh; bad
run "$COMPILE"
check_rc "syntax error" 1
check_content "syntax error: the compiler ran ahead" "$FAKE_LOG" $'run\n'
check_lacks "syntax error: compiler output dropped" "$out$err" "cc "
check_no_file "syntax error: no object" x.o
fresh; bad; echo old >x.o
run "$COMPILE"
check_no_file "syntax error: changed object removed" x.o
fresh; bad; echo old >x.o
OBJ_KEEP=1 run "$COMPILE"
check_content "syntax error: object the compiler left alone kept" x.o $'old\n'

# A run that ends during the analysis: a fatal error, a crash.
fresh
{ printf 'void g(void) '; for i in $(seq 101); do printf '{'; done; for i in $(seq 101); do printf '}'; done; echo; } >a.c
run "$COMPILE"
check_rc "fatal error" 2
check_no_file "fatal error: no object" x.o
check_lacks "fatal error: compiler output dropped" "$out$err" "cc "
fresh; good
OBJ_KILL=SEGV WAIT_FOR=signal_sent run "$COMPILE"
check_rc "crash" 4
check_no_file "crash: no object" x.o

# -noupdate has no compile step.
fresh; good
run "$QOR" -batch -nocccp -noupdate -cc="$OBJ_CC" -c a.c -o x.o
check_not_compiled "-noupdate"

# For a terminal the compiler waits for the analysis, and so it does for
# an output that is no regular file (which is never removed).
fresh; bad
on_terminal >/dev/null
check_not_compiled "terminal"
fresh; bad; ln -s /dev/null x.o
run "$COMPILE"
check_not_compiled "device output"
check_file "device output kept" x.o

finish
