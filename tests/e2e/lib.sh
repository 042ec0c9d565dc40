# Helpers shared by the end-to-end scripts. Each script sources this file,
# runs the staged qor_cc in fresh directories of its own scratch tree and
# ends with `finish`.
set -u

: "${QOR_STAGE:?QOR_STAGE must name the staged installation}"

# Settings of the caller must not reach the program under test.
unset QOR_CC_NO_DEL QOR_CC_DEF QOR_UTIL QOR_CC_IGN QOR_CC_MAC QOR_INSTRUMENT_TCL QOR_NEWRES

scratch=$(mktemp -d "${TMPDIR:-/tmp}/qor_e2e.XXXXXX") || exit 1
trap 'cd / && rm -rf "$scratch"' EXIT
export HOME="$scratch"
mkdir "$scratch/.cap"

# The dialect data of the installation (util/*.def and util/*.ign) is
# written for the host's compiler. The scripts run a copy of the stage
# without it, so that what they expect holds on every host; QOR_FULL_STAGE
# is the stage with its data, for the scripts that test the data itself.
QOR_FULL_STAGE=$QOR_STAGE
cp -R "$QOR_STAGE" "$scratch/.stage" || exit 1
rm -f "$scratch/.stage/util/"*.def "$scratch/.stage/util/"*.ign
QOR_STAGE="$scratch/.stage"
QOR="$QOR_STAGE/bin/qor_cc"
passed=0 failed=0 case_no=0

# The stand-in compiler: logs each argument on its own line, then a line
# "==" that closes the run, into $FAKE_LOG. FAKE_STATUS sets its exit status,
# FAKE_SIGNAL makes it kill itself with that signal, FAKE_SIGNAL_PARENT
# sends that signal to qor_cc. Asked for its predefined macros (-dM), as
# the GNU dialects ask it, it answers nothing and logs nothing.
FAKE="$scratch/fake_cc"
cat >"$FAKE" <<'EOF'
#!/bin/sh
for arg in "$@"; do [ "$arg" = -dM ] && exit 0; done
for arg in "$@"; do printf '%s\n' "$arg"; done >>"$FAKE_LOG"
echo == >>"$FAKE_LOG"
[ -n "${FAKE_SIGNAL:-}" ] && kill -s "$FAKE_SIGNAL" $$
[ -n "${FAKE_SIGNAL_PARENT:-}" ] && kill -s "$FAKE_SIGNAL_PARENT" $PPID
exit "${FAKE_STATUS:-0}"
EOF
chmod +x "$FAKE"

# fresh: enters a new empty working directory; each case starts in one.
fresh() {
    case_no=$((case_no + 1))
    mkdir "$scratch/case$case_no" && cd "$scratch/case$case_no" || exit 1
    export FAKE_LOG="$PWD/fake.log"
}

# mk_c FILE...: small valid C sources (directories created as needed).
mk_c() {
    local f n=0
    for f in "$@"; do
        n=$((n + 1))
        mkdir -p "$(dirname -- "$f")"
        printf 'int function_%d(int x) { return x + %d; }\n' "$n" "$n" >"$f"
    done
}

# copy_install NAME [STAGE]: a private copy of the installation (or of
# STAGE) at $scratch/NAME.
copy_install() { cp -R "${2:-$QOR_STAGE}" "$scratch/$1"; }

# hooked_install NAME [STAGE]: such a copy whose hook script prints
# "onComponent NAME LINE" for each component.
hooked_install() {
    copy_install "$@"
    cat >"$scratch/$1/Scripts/qor_cc/qor_cc.tcl" <<'TCL'
namespace eval qor_cc {
    proc onFile {source} {}
    proc onFileSkipped {source sta} {}
    proc onComponent {name line} { puts "onComponent $name $line" }
    proc doMetrics {} {}
}
TCL
}

# slurp VAR FILE: sets VAR to the exact content of FILE, trailing line
# feeds included.
slurp() { local t; t=$(cat -- "$2" 2>/dev/null; printf x); printf -v "$1" '%s' "${t%x}"; }
slurp USAGE_TEXT "$QOR_STAGE/bin/qor_cc.usage"

# run CMD...: runs CMD; sets $out, $err (exact texts) and $rc.
run() {
    "$@" >"$scratch/.cap/out" 2>"$scratch/.cap/err"
    rc=$?
    slurp out "$scratch/.cap/out"
    slurp err "$scratch/.cap/err"
}

ok() { passed=$((passed + 1)); }
not_ok() {
    failed=$((failed + 1))
    printf 'FAIL: %s\n' "$1"
    shift
    [ $# -gt 0 ] && printf '%s\n' "$@" | sed 's/^/    /'
}

# coverage_text DATA...: the counts that coverage-data and live files
# hold, as text records (qor_report data).
coverage_text() { "$QOR_FULL_STAGE/bin/qor_report" data "$@"; }
# unit_runs DATA...: the runs that DATA adds up, over all units.
unit_runs() { coverage_text "$@" | awk '/^QVX-SUM 1 / { n += $3 } END { print n + 0 }'; }

check_eq() { # NAME EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then ok
    elif [[ "$2$3" != *$'\n'* ]]; then not_ok "$1" "expected: $2" "actual:   $3"
    else not_ok "$1" "$(diff -u --label expected --label actual <(printf '%s' "$2") <(printf '%s' "$3"))"
    fi
}
check_contains() { # NAME TEXT PART
    if [[ "$2" == *"$3"* ]]; then ok; else not_ok "$1" "missing: $(printf %q "$3")" "in:" "$2"; fi
}
check_lacks() { # NAME TEXT PART
    if [[ "$2" != *"$3"* ]]; then ok; else not_ok "$1" "unexpected: $(printf %q "$3")" "in:" "$2"; fi
}
check_starts() { # NAME TEXT PREFIX
    if [[ "$2" == "$3"* ]]; then ok; else not_ok "$1" "expected start: $(printf %q "$3")" "got:" "$2"; fi
}
check_count() { # NAME TEXT PART N: PART occurs exactly N times in TEXT
    local rest=$2 n=0
    while [[ "$rest" == *"$3"* ]]; do rest=${rest#*"$3"}; n=$((n + 1)); done
    check_eq "$1 (occurrences of $(printf %q "$3"))" "$4" "$n"
}
check_file() { if [ -e "$2" ]; then ok; else not_ok "$1" "file $2 does not exist"; fi; }
check_no_file() { if [ ! -e "$2" ]; then ok; else not_ok "$1" "file $2 exists"; fi; }
check_content() { # NAME FILE EXPECTED
    local text
    if [ -f "$2" ]; then slurp text "$2"; check_eq "$1" "$3" "$text"; else not_ok "$1" "file $2 does not exist"; fi
}
check_rc() { check_eq "$1 (exit status)" "$2" "$rc"; }
# check_args NAME WORD...: the compiler ran exactly once, with these words.
check_args() {
    local name=$1; shift
    check_content "$name (compiler arguments)" "$FAKE_LOG" "$(printf '%s\n' "$@" ==)
"
}
check_not_compiled() { check_no_file "$1 (compiler must not run)" "$FAKE_LOG"; }

# figures STA: for each function of an archive, in order, its statements
# and the number of its decisions (its decision descriptions but the entry).
figures() {
    awk '
        function flush() {
            if (name != "") print name ": statements " inst ", decisions " decisions
            name = ""
        }
        /^\*MO\*$/ { flush(); getline; name = $1; decisions = 0; section = ""; next }
        /^\*FI\*$/ { flush(); next }
        /^\.[A-Z][A-Z]\.$/ { section = $0; next }
        section == ".DT." && $1 == "INST" { inst = $2 }
        section == ".CD." && $2 != "Begin" { decisions++ }
    ' "$1"
}
# figures_written SOURCE: the figures that the lines
# "// NAME: statements N, decisions N" at the end of a test source give.
figures_written() { sed -n 's|^// \([a-z_]*: statements\)|\1|p' "$1"; }

finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}
