# The Tcl hook script of static runs, and dynamic runs, which call no hook
# and compile instrumented copies instead.
source "${QOR_E2E_LIB:?}" || exit 1

# An installation whose hook script logs every call to $HOOK_LOG.
copy_install hooked
HOOKED="$scratch/hooked/bin/qor_cc"
cat >"$scratch/hooked/Scripts/qor_cc/qor_cc.tcl" <<'TCL'
namespace eval qor_cc {}
proc qor_cc::log {text} {
    set f [open $::env(HOOK_LOG) a]
    puts $f $text
    close $f
}
proc qor_cc::repository {} {
    expr {[info exists ::Repository] ? $::Repository : "UNSET"}
}
qor_cc::log "sourced repository=[qor_cc::repository]"
proc qor_cc::onFile {source} { log "onFile <$source> repository=[repository]" }
proc qor_cc::onFileSkipped {source sta} { log "onFileSkipped <$source> <$sta>" }
proc qor_cc::onComponent {name line} { log "onComponent <$name> $line" }
proc qor_cc::doMetrics {} { log "doMetrics repository=[repository]" }
TCL

fresh; mk_c "a b.c" b.c; export HOOK_LOG=$PWD/hook.log
run "$HOOKED" -nocccp -batch "a b.c" b.c
check_content "hook calls" hook.log "sourced repository=UNSET
onFile <a b.c> repository=.
onComponent <function_1> 1
onFile <b.c> repository=.
onComponent <function_2> 1
doMetrics repository=.
"
check_rc "hook calls" 0

fresh; mk_c a.c; mkdir out; export HOOK_LOG=$PWD/hook.log
run "$HOOKED" -nocccp -batch -o out a.c
check_content "Repository with -o dir" hook.log $'sourced repository=UNSET\nonFile <a.c> repository=out\nonComponent <function_1> 1\ndoMetrics repository=out\n'

# -noupdate only loads the cached results of the first source.
fresh; mk_c a.c b.c; export HOOK_LOG=$PWD/hook.log
run "$HOOKED" -nocccp -batch -noupdate -cc="$FAKE" a.c b.c
check_content "-noupdate hook calls" hook.log $'sourced repository=UNSET\nonFileSkipped <a.c> <a.sta>\ndoMetrics repository=.\n'
check_eq "-noupdate stdout" $'Loading cache information for a.c...\n' "$out"
check_not_compiled "-noupdate"
check_rc "-noupdate" 0

# Dynamic runs: no hook at all; the compiler gets the instrumented copy.
# The instrumentation script here only writes an empty header.
printf 'proc Instrument {} { close [open $::qvx_header w] }\n' >"$scratch/instrument.tcl"
export QOR_INSTRUMENT_TCL="$scratch/instrument.tcl"
fresh; mk_c a.c; export HOOK_LOG=$PWD/hook.log
run "$HOOKED" -nocccp -batch -inst -cc="$FAKE" -c a.c
check_no_file "dynamic run calls no hook" hook.log
check_args "dynamic run compiles a.inst.c" a.inst.c -c
fresh; mk_c a.c
run "$HOOKED" -nocccp -batch -inst suffix=_i -cc="$FAKE" -c a.c
check_args "-inst suffix=_i" a._i.c -c
fresh; mk_c src/a.c
run "$HOOKED" -nocccp -batch -inst prefix=inst/ -cc="$FAKE" -c src/a.c
check_args "-inst prefix=inst/" src/inst/a.inst.c -c
check_eq "-inst prefix=inst/ creates the directory" yes "$([ -d src/inst ] && echo yes)"

# Without a hook script every Tcl evaluation fails: bootstrap, onFile,
# onComponent and doMetrics, each reported with its stack trace.
copy_install nohook
rm "$scratch/nohook/Scripts/qor_cc/qor_cc.tcl"
fresh; mk_c a.c
run "$scratch/nohook/bin/qor_cc" -nocccp -batch -cc="$FAKE" a.c
check_count "missing hook script" "$err" $'Error(s): during tcl evaluation\n' 4
traces=$(awk '/^Error\(s\): during tcl evaluation$/ { getline; print }' <<<"$err")
check_eq "each failure has a trace" 4 "$(grep -c '[^ ]' <<<"$traces")"
check_lacks "trace is not another message" "$traces" "Error"
check_contains "bootstrap trace" "$err" $'Error(s): during tcl evaluation\ncouldn\'t read file "'"$scratch/nohook/Scripts/qor_cc/qor_cc.tcl"
# doMetrics runs after the summary and no longer changes the exit status.
check_contains "missing hook script: summary" "$err" $'qor_cc: 3 error(s).\nError(s): during tcl evaluation\n'
check_not_compiled "missing hook script"
check_rc "missing hook script" 1

# The installed script is silent.
fresh; mk_c a.c
run "$QOR" -nocccp -batch -cc="$FAKE" a.c
check_eq "installed hook script: stderr" $'warning : Unable to locate MSC70.def file\n' "$err"
check_args "installed hook script: compiled" a.c
check_rc "installed hook script" 0

finish
