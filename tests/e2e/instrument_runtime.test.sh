# The instrumentation script of the installation (util/instrument.tcl) and
# the coverage run-time that it writes into each instrumented file's
# header. The fixtures in instrument_runtime/ are instrumented files in the
# shape that qor_cc writes, each with its qvx_func value (*.func);
# drive.tcl runs the script on them as qor_cc does. The programs are built
# with the real compiler, run, and their coverage data compared with
# counts derived by hand from the fixtures.
source "${QOR_E2E_LIB:?}" || exit 1

fixtures=$(cd "$(dirname "${BASH_SOURCE[0]}")/instrument_runtime" && pwd) || exit 1
SCRIPT="$QOR_STAGE/util/instrument.tcl"
TCLSH=$(command -v tclsh8.6 || command -v tclsh) || { echo "no tclsh"; exit 1; }
unset QOR_COVERAGE_FILE
MAIN_DATE=03/07/08-14:05:09
UTIL_DATE=03/07/08-14:05:10

# The emitter's implicit default (a `default:` label after the source's
# switch body) makes gcc see a fall-through into it; that warning belongs
# to the instrumented text, not to the run-time.
WARN=(-Wall -Wextra -Werror -Wno-implicit-fallthrough)

# instrument UNIT DATE [HEADER]: the script writes UNIT's header
# ($PWD/UNIT.inst.h unless HEADER) from UNIT.func; $out is the date it left.
instrument() {
    run "$TCLSH" "$fixtures/drive.tcl" "$SCRIPT" "${3:-$PWD/$1.inst.h}" "$2" "$fixtures/$1.func"
}

# records DATA HEADER: the records of DATA (its sections, one per unit and
# label, as text) whose header line names HEADER, in file order, each with
# the first line "QVX 1 P" and without its runs and label.
records() {
    coverage_text "$1" | awk -v h="H $2" '
        /^QVX-SUM / { n = 0; keep = 0; next }
        /^L / && n == 0 { next }
        { line[++n] = $0 }
        n == 1 && $0 == h { keep = 1 }
        $0 == "END" && keep { print "QVX 1 P"; for (i = 1; i <= n; i++) print line[i] }
    '
}

# well_formed DATA...: the number of sections of DATA when qor_report
# reads every one of them without a word, else the first line that is not
# part of a whole record.
well_formed() {
    coverage_text "$@" 2>&1 | awk '
        function bad() { print "bad line " NR ": " $0; failed = 1; exit }
        state == 0 { if (/^QVX-SUM 1 [1-9][0-9]*$/) state = 9; else bad(); next }
        state == 9 { if (/^L /) state = 1; else bad(); next }
        state == 1 { if (/^H /) state = 2; else bad(); next }
        state == 2 { if (/^D /) state = 3; else bad(); next }
        state == 4 { if (/^B( [0-9]+)+$/) state = 5; else bad(); next }
        state == 5 { if (/^C( [0-9]+)*$/) state = 3; else bad(); next }
        state == 3 && (/^M [0-9]+ [01] [-01]+ [1-9][0-9]*$/ || /^X [0-9]+ [1-9][0-9]*$/) {
                     if (!in_function) bad(); next }
        state == 3 { if ($0 == "END") { state = 0; in_function = 0; n++ }
                     else if (/^F [0-9]+ [0-9]+ [0-9]+ ./) { state = 4; in_function = 1 }
                     else bad(); next }
        END { if (!failed) { if (state) print "unfinished record"; else print n + 0 } }
    '
}

# The records of main.c and util.c after `prog 5` and `prog 20`, in a case
# directory DIR.
main_records() { # DIR RUN
    printf 'QVX 1 P\nH %s/main.inst.h\nD %s\n' "$1" "$MAIN_DATE"
    case $2 in
    5)  printf '%s\n' "F 1 5 5 main.c/twice" "B 0" "C" "F 2 1 1 main.c/main" \
            "B 0 1 0 5 1 0 5 4 1 1 4 1 0 0" "C 1 5 5 1 0 1 1" END ;;
    20) printf '%s\n' "F 1 9 9 main.c/twice" "B 0" "C" "F 2 1 1 main.c/main" \
            "B 0 1 0 9 0 1 8 19 1 1 19 0 1 0" "C 1 9 9 0 1 1 1" END ;;
    esac
}
util_records() { # DIR RUN
    printf 'QVX 1 P\nH %s/util.inst.h\nD %s\n' "$1" "$UTIL_DATE"
    case $2 in
    5)  printf '%s\n' "F 1 5 5 classify" "B 0 0 5 3 2" "C" \
            "F 2 1 1 sum_to" "B 0 24 1 0 24" "C" ;;
    20) printf '%s\n' "F 1 9 9 classify" "B 0 0 9 5 4" "C" \
            "F 2 1 1 sum_to" "B 0 44 1 0 44" "C" ;;
    esac
    printf '%s\n' "F 3 1 1 util.c/write" "B 0" "C" "F 4 1 1 note" "B 0" "C 1 1" \
        "F 5 0 0 never_called" "B 0" "C 0" END
}
OUT_5=$'errno at start 0, after exit 1234\n[zero]\ntotal 24 sum 300\n'
OUT_20=$'errno at start 0, after exit 1234\n[rest]\ntotal 44 sum 990\n'

# REF: the same program without probes (every probe macro expands to
# nothing), whose output and exit status the instrumented one must keep.
mkdir "$scratch/ref"
for unit in main util; do
    printf '%s\n' '#define QVX_CD1(f, n) ;' '#define QVX_CDF(f, n) ;' \
        '#define QVX_CDX(f, n, b) ;' '#define QVX_CALL(f, n, c, k, m) 0' >"$scratch/ref/$unit.inst.h"
    cp "$fixtures/$unit.inst.c" "$scratch/ref/"
done
(cd "$scratch/ref" && gcc -w main.inst.c util.inst.c "$fixtures/observer.c" -o prog) || exit 1
REF="$scratch/ref/prog"

# same_as_ref NAME ARG...: runs ./prog (labelled with ARGs) and REF with
# ARGs; same output and exit status.
same_as_ref() {
    local name=$1 ref_out ref_rc; shift
    run "$REF" "$@"; ref_out=$out; ref_rc=$rc
    QOR_COVERAGE_LABEL="prog $*" run ./prog "$@"
    check_eq "$name: output" "$ref_out" "$out"
    check_eq "$name: exit status" "$ref_rc" "$rc"
}

# prog_headers: the headers of main.c and util.c in the current directory.
prog_headers() {
    instrument main "$MAIN_DATE" && instrument util "$UTIL_DATE"
}

# build_prog CC FLAGS...: prog from main.inst.c and util.inst.c (copied into
# the current directory unless present) and the uninstrumented observer.
build_prog() {
    local cc=$1; shift
    [ -e main.inst.c ] || cp "$fixtures/main.inst.c" "$fixtures/util.inst.c" .
    "$cc" "$@" -c main.inst.c && "$cc" "$@" -c util.inst.c &&
        "$cc" -w -c "$fixtures/observer.c" &&
        "$cc" "$@" main.inst.o util.inst.o observer.o -o prog
}

# ---- The script ----------------------------------------------------------

fresh
instrument main "$MAIN_DATE"
check_rc "Instrument" 0
check_eq "the date is left as it was" "$MAIN_DATE"$'\n' "$out"
check_eq "only the header is written" "main.inst.h" "$(ls)"

# Malformed input is a Tcl error, and leaves no header and no temporary
# file behind.
fresh
bad_cases=(
    "8 elements|{main 1 0 0 0 0 {} 0}|not a list of 9 elements"
    "not a list|{main 1 0 0 0 0 \"{}\" 0 0} \"x|not a list"
    "count|{main 1 x 0 0 0 {} 0 0}|branches \"x\" is not a count"
    "negative|{main 1 0 -1 0 0 {} 0 0}|calls \"-1\" is not a count"
    "two words|{main {1 2} 0 0 0 0 {} 0 0}|number \"1 2\" is not a count"
    "ten digits|{main 1 0 0 0 0 {} 0 0123456789}|max_index \"0123456789\" is not a count"
    "record line|{f 1 0 0 0 1 {{0 x 1 1 1 1}} 1 0}|vector record 0: line \"x\" is not a count"
    "number 0|{main 0 0 0 0 0 {} 0 0}|function number 0"
    "same number|{f 1 0 0 0 0 {} 0 0} {g 1 0 0 0 0 {} 0 0}|function number 1 is also f's"
    "empty name|{{} 1 0 0 0 0 {} 0 0}|empty function name"
    "record count|{f 1 0 0 0 2 {{0 3 1 1 1 1}} 1 0}|not a list of 2 records"
    "record size|{f 1 0 0 0 1 {{0 3 1 1 1}} 1 0}|vector record 0 is not a list of 6"
    "vector|{f 1 0 0 0 1 {{0 3 1 2 1 1x}} 2 0}|\"1x\" is not a vector of 2"
    "vector size|{f 1 0 0 0 1 {{0 3 1 2 1 1}} 2 0}|\"1\" is not a vector of 2"
    "sizes differ|{f 1 0 0 0 2 {{0 3 1 1 1 1} {1 3 1 2 0 00}} 2 0}|decision 1 has 1 conditions, not 2"
    "decision shared|{f 1 0 0 0 1 {{0 3 1 1 1 1}} 1 0} {g 2 0 0 0 1 {{0 3 1 1 0 0}} 1 0}|decision 1 is also function 1's"
)
for item in "${bad_cases[@]}"; do
    IFS='|' read -r what value message <<<"$item"
    printf '%s\n' "$value" >bad.func
    run "$TCLSH" "$fixtures/drive.tcl" "$SCRIPT" "$PWD/bad.inst.h" "$MAIN_DATE" bad.func
    check_eq "qvx_func $what fails" 1 "$rc"
    check_contains "qvx_func $what: message" "$err" "$message"
done
run "$TCLSH" "$fixtures/drive.tcl" "$SCRIPT" "$PWD/missing/a.inst.h" "$MAIN_DATE" "$fixtures/main.func"
check_eq "unwritable header fails" 1 "$rc"
check_contains "unwritable header: message" "$err" "cannot write $PWD/missing/a.inst.h"
printf 'source {%s}\nset qvx_func {}\nInstrument\n' "$SCRIPT" >no_header.tcl
run "$TCLSH" no_header.tcl
check_eq "no qvx_header fails" 1 "$rc"
check_contains "no qvx_header: message" "$err" "qvx_header is not set"
check_eq "failures leave no file" $'bad.func\nno_header.tcl' "$(ls)"

# A name and a path reach the unit's layout as the data file writes them
# (a backslash doubled, a control character in octal) through C string
# literals that hold any byte: a quote, a backslash, a trigraph under
# -std=c89 and UTF-8 come out of the compiled header as they went in.
fresh
mkdir 'odd "dir??=' && cd 'odd "dir??=' || exit 1
printf '%s\n' '{a\"b\\c??=d\te\u00e9 1 0 0 0 0 {} 0 0}' >odd.func
run "$TCLSH" "$fixtures/drive.tcl" "$SCRIPT" "$PWD/odd.inst.h" "$MAIN_DATE" odd.func
check_rc "odd names" 0
printf '#include "odd.inst.h"\n#include <stdio.h>\n%s\n' \
    'int main(void) { fputs(qvx_layout_, stdout); puts(qvx_default_file_); return 0; }' >odd.inst.c
run gcc -std=c89 -pedantic "${WARN[@]}" odd.inst.c -o odd
check_eq "odd names: compiles" "0:" "$rc:$err"
run ./odd
check_eq "odd names: the layout's text" \
    "H $PWD/odd.inst.h"$'\n'"D $MAIN_DATE"$'\n''F 1 1 1 a"b\\c??=d\011e'$'\u00e9\nEND\n'"$PWD/qor_coverage.dat"$'\n' "$out"
cd .. || exit 1

# A file without functions gets a header with the macros only; its unit
# compiles cleanly and links with instrumented units.
fresh
printf '' >empty.func
run "$TCLSH" "$fixtures/drive.tcl" "$SCRIPT" "$PWD/empty.inst.h" "$MAIN_DATE" empty.func
check_rc "empty qvx_func" 0
printf '#include "empty.inst.h"\nint shared_value = 3;\n' >empty.inst.c
run gcc -std=c99 -pedantic "${WARN[@]}" -c empty.inst.c
check_eq "header without functions compiles" "0:" "$rc:$err"
prog_headers && build_prog gcc "${WARN[@]}" -O2 && gcc main.inst.o util.inst.o observer.o empty.inst.o -o prog2
run ./prog2 5
check_eq "unit without functions links" "$OUT_5" "$out"
check_eq "unit without functions writes no record" 2 "$(well_formed qor_coverage.dat)"

# Names travel to the data file escaped (backslash doubled, control
# characters in octal) and to the header as octal escapes (quotes,
# backslashes, trigraphs and non-ASCII bytes), also from a directory
# whose name has a blank.
fresh
mkdir "dir with blank"
printf '{"we\\"ird \\\\ ??=\\u00e9\\nx.c/main" 1 0 0 0 0 {} 0 0}\n' >names.func
run "$TCLSH" "$fixtures/drive.tcl" "$SCRIPT" "$PWD/dir with blank/names.inst.h" "$MAIN_DATE" names.func
check_rc "odd names" 0
printf '#include "names.inst.h"\nint main(void)\n{QVX_CD1(main,1)\n {\n{QVX_CDF(main,1)\nreturn 0; }\n}}\n' \
    >"dir with blank/names.inst.c"
run gcc -std=c89 -pedantic "${WARN[@]}" "dir with blank/names.inst.c" -o names
check_eq "odd names compile" "0:" "$rc:$err"
./names
check_eq "odd names in the data" "QVX 1 P
H $(pwd -P)/dir with blank/names.inst.h
D $MAIN_DATE
F 1 1 1 we\"ird \\\\ ??=é\\012x.c/main
B 0
C
END" "$(records "dir with blank/qor_coverage.dat" "$(pwd -P)/dir with blank/names.inst.h")"

# ---- Counts and behaviour ------------------------------------------------

# For each compiler and option set: the program's output and exit status
# are those of the program without probes, and the data file holds one
# section per unit and label with exactly the counts of the fixtures. Unless
# the header renamed it, util.c's static function "write" would take the C
# library's place at exit (gcc -O0, clang).
check_prog_runs() { # NAME
    local dir
    dir=$(pwd -P)
    same_as_ref "$1: prog 5" 5
    same_as_ref "$1: prog 20" 20
    local data=(qor_coverage.prog_5.dat qor_coverage.prog_20.dat)
    check_eq "$1: main.c records" "$(main_records "$dir" 5; main_records "$dir" 20)" \
        "$(for f in "${data[@]}"; do records "$f" "$dir/main.inst.h"; done)"
    check_eq "$1: util.c records" "$(util_records "$dir" 5; util_records "$dir" 20)" \
        "$(for f in "${data[@]}"; do records "$f" "$dir/util.inst.h"; done)"
    check_eq "$1: nothing else" 4 "$(well_formed "${data[@]}")"
}
# The run-time is the assembly compiled with the installation (on x86-64)
# or its C text (QOR_COVERAGE_C_RUNTIME), also where link-time
# optimization writes both units as one and where the compiler writes
# Intel syntax.
compilers=(gcc)
command -v clang >/dev/null && compilers+=(clang)
command -v clang-19 >/dev/null && compilers+=(clang-19)
for cc in "${compilers[@]}"; do
    for flags in "-O0" "-O2" "-O3 -std=c89 -pedantic" "-O2 -DQOR_COVERAGE_C_RUNTIME" "-O2 -flto" \
                 "-O1 -masm=intel"; do
        fresh
        # shellcheck disable=SC2086
        prog_headers && build_prog "$cc" "${WARN[@]}" $flags
        check_eq "$cc $flags: builds" 0 $?
        check_prog_runs "$cc $flags"
    done
done

# The real instrumented file is preprocessed text: the declarations and
# structures of the standard headers follow the run-time header.
fresh
prog_headers
for unit in main util; do
    { echo "#include \"$unit.inst.h\""
      sed 1d "$fixtures/$unit.inst.c" | gcc -E -P -; } >"$unit.inst.c"
done
build_prog gcc "${WARN[@]}" -O2
check_eq "preprocessed units: build" 0 $?
check_prog_runs "preprocessed units"

# On x86-64 the unit's compile assembles the run-time rather than compile
# it: its entry points are the assembly's weak hidden symbols, the unit's
# own by name. util.c as a shared library keeps them to itself.
fresh
prog_headers && cp "$fixtures/main.inst.c" "$fixtures/util.inst.c" .
entries() { gcc -O2 -S "$@" main.inst.c -o - | grep -c '^[[:space:]]*\.weak[[:space:]]*qvx_rt[0-9a-f]*_start$'; }
[ "$(uname -m)" = x86_64 ] &&
    check_eq "the assembly of the run-time" 1:0 "$(entries):$(entries -DQOR_COVERAGE_C_RUNTIME)"
gcc -O2 -fPIC -shared "${WARN[@]}" util.inst.c -o libutil.so &&
    gcc -O2 "${WARN[@]}" main.inst.c "$fixtures/observer.c" -w -L. -lutil -Wl,-rpath,"$PWD" -o prog
check_eq "shared library: builds" 0 $?
check_eq "shared library: hidden run-time" "" "$(nm -D libutil.so | grep qvx_rt)"
check_prog_runs "shared library"

# errno: the run-time's start-up work and exit work leave it as they found
# it, also when they fail: no data file can be opened, and no working
# directory can be found at start-up. The program does not notice.
fresh
prog_headers && build_prog gcc -O2
prog=$PWD/prog
mkdir dir
for location in /nonexistent/coverage.dat "$PWD/dir"; do
    run env QOR_COVERAGE_FILE="$location" "$prog" 5
    check_eq "unwritable $location: output" "$OUT_5" "$out"
    check_rc "unwritable $location" 3
    check_eq "unwritable $location: stderr" "" "$err"
done
check_no_file "unwritable locations: nothing at the default place" qor_coverage.dat
mkdir gone && cd gone && rmdir ../gone
run "$prog" 20
cd .. || exit 1
check_eq "removed working directory: output" "$OUT_20" "$out"
check_rc "removed working directory" 2
run env QOR_COVERAGE_FILE="$PWD/kept.dat" "$prog" 5
check_eq "writable location: output" "$OUT_5" "$out"
check_eq "writable location: records" 2 "$(well_formed kept.dat)"

# The location: $QOR_COVERAGE_FILE, a relative name taken from the
# working directory at start-up even when the program changes it, with %p
# for the process number; else qor_coverage.dat beside the unit's header,
# wherever the program runs.
fresh
instrument tasks 03/07/08-14:05:11
gcc -O2 "${WARN[@]}" -pthread "$fixtures/tasks.inst.c" -I. -o tasks
mkdir elsewhere sub
./tasks chdir elsewhere >/dev/null
check_eq "default location" 1:1 "$(well_formed qor_coverage.dat):$(unit_runs qor_coverage.dat)"
QOR_COVERAGE_FILE= ./tasks chdir elsewhere >/dev/null
check_eq "empty variable: default location" 2 "$(unit_runs qor_coverage.dat)"
(cd sub && ../tasks >/dev/null)
check_eq "default location, run elsewhere" "3:" "$(unit_runs qor_coverage.dat):$(ls sub)"
QOR_COVERAGE_FILE=$PWD/sub/run-%p.dat ./tasks fork >/dev/null
check_eq "%p: a file per process" 2 "$(ls sub | grep -c '^run-[0-9]*\.dat$')"
(cd sub && QOR_COVERAGE_FILE=../rel.dat ../tasks chdir ../elsewhere >/dev/null)
check_eq "relative variable" 1 "$(well_formed rel.dat)"
QOR_COVERAGE_FILE=$PWD/sub/abs.dat ./tasks chdir elsewhere >/dev/null
check_eq "absolute variable" 1 "$(well_formed sub/abs.dat)"
check_eq "nothing where the program went" "" "$(ls elsewhere)"
check_eq "chdir record" "QVX 1 P
H $(pwd -P)/tasks.inst.h
D 03/07/08-14:05:11
F 1 0 0 tasks.c/work
B 0
C
F 2 0 0 tasks.c/repeat
B 0 0 0
C 0
F 3 0 0 tasks.c/spin
B 0
C 0
F 4 1 1 tasks.c/main
B 0 0 0 1 0 0 0 0 0 0
C 0 0 0 0 0 0 0 0 1 1
END" "$(records sub/abs.dat "$(pwd -P)/tasks.inst.h")"

# Threads: four threads call work() 1000000 times each; the counters lose
# none of the calls. (At -O0 every probe is its own read-modify-write, so
# a plain increment would lose some.)
gcc -O0 "${WARN[@]}" -pthread "$fixtures/tasks.inst.c" -I. -o tasks
QOR_COVERAGE_LABEL=threads run ./tasks
check_eq "threads: output" $'0 -1\n' "$out"
threads=$(records qor_coverage.threads.dat "$(pwd -P)/tasks.inst.h" | tail -n 13)
check_eq "threads: counts" "F 1 4000000 4000000 tasks.c/work
B 0
C
F 2 4 4 tasks.c/repeat
B 0 4000000 4
C 4000000
F 3 4 4 tasks.c/spin
B 0
C 4
F 4 1 1 tasks.c/main
B 0 1 0 0 4 1 4 1 0 0
C 4 4 0 0 0 0 0 0 0 1
END" "$threads"

# A unit compiled for threads (-pthread, -fopenmp, or QOR_ATOMIC_COUNTS
# defined) counts with locked increments; any other with plain ones. Both
# forms of the probes, the asm statement and C's, count so. (The
# run-time's own assembly, between its section directives, does not count.)
locked() {
    gcc -O2 -S "${WARN[@]}" "$@" "$fixtures/tasks.inst.c" -I. -o - |
        sed '/\.pushsection/,/\.popsection/d' | grep -cE '^[[:space:]]*lock[[:space:]]+(inc|add)'
}
check_eq "plain unit: plain increments" 0 "$(locked)"
for flag in -pthread -fopenmp -DQOR_ATOMIC_COUNTS "-pthread -DQOR_COVERAGE_C_RUNTIME"; do
    # shellcheck disable=SC2086
    check_eq "$flag: locked adds" 1 "$(($(locked $flag) > 10))"
done
check_eq "C probes: plain increments" 0 "$(locked -DQOR_COVERAGE_C_RUNTIME)"

# fork: the child starts from zero counts, so that the parent's counts
# and the child's, added up, count every probe once. The parent calls
# work() 3 times before the fork and 2 after, the child 5 times and then
# exit().
fresh
instrument tasks 03/07/08-14:05:11
gcc -O2 "${WARN[@]}" -pthread "$fixtures/tasks.inst.c" -I. -o tasks
run ./tasks fork
check_eq "fork: output" $'5 0\n' "$out"
check_eq "fork: two runs, one section" 1:2 "$(well_formed qor_coverage.dat):$(unit_runs qor_coverage.dat)"
check_eq "fork: the child's counts and the parent's" "QVX 1 P
H $(pwd -P)/tasks.inst.h
D 03/07/08-14:05:11
F 1 10 10 tasks.c/work
B 0
C
F 2 3 3 tasks.c/repeat
B 0 10 3
C 10
F 3 0 0 tasks.c/spin
B 0
C 0
F 4 1 1 tasks.c/main
B 0 0 1 0 0 0 0 0 1 1
C 0 0 1 1 1 1 1 1 0 1
END" "$(records qor_coverage.dat "$(pwd -P)/tasks.inst.h")"
QOR_COVERAGE_FILE=$PWD/fork-%p.dat ./tasks fork >/dev/null
check_eq "fork: with %p, the child's counts apart" "F 1 5 5 tasks.c/work
F 1 5 5 tasks.c/work" "$(for f in fork-*.dat; do records "$f" "$(pwd -P)/tasks.inst.h" | grep '^F 1 '; done)"

# Probe numbers beyond a function's branch or call count count nothing and
# disturb no other counter; the condition-coverage declaration compiles.
# A unit none of whose probes ran (util.c here) writes no record.
fresh
instrument edge 03/07/08-14:05:12 && instrument util "$UTIL_DATE"
cp "$fixtures/edge.inst.c" "$fixtures/util.inst.c" .
run gcc -O2 "${WARN[@]}" edge.inst.c util.inst.c -o edge
check_eq "edge: builds" "0:" "$rc:$err"
run ./edge
check_rc "edge" 0
check_eq "edge: one record" 1 "$(well_formed qor_coverage.dat)"
check_eq "edge: counts" "QVX 1 P
H $(pwd -P)/edge.inst.h
D 03/07/08-14:05:12
F 1 2 2 check
B 0 1 1
C 1
F 2 1 1 edge.c/main
B 0
C 1 1
END" "$(records qor_coverage.dat "$(pwd -P)/edge.inst.h")"

# ---- Condition coverage ----------------------------------------------------

# mcdc.c's decisions, evaluated by the run without arguments: the vectors
# and counts derived by hand from its calls (see the comments there).
MCDC_OUT=$'both 1 0 0\ndrain 4 0\npair 0 1 1 1\ndeep 4\nnest 1 1 0 0\nmarks 2\nodd 043544\n'
MCDC_LINES="F 1 3 3 mcdc.c/both
M 1 1 10 1
M 1 0 0- 1
M 1 0 11 1
F 2 2 2 mcdc.c/drain
M 2 1 011 2
M 2 1 1-- 2
M 2 0 00- 1
M 2 0 010 1
F 3 4 4 mcdc.c/pair
M 3 1 11 2
M 3 0 0- 1
M 3 0 10 1
M 4 1 0- 2
M 4 1 11 1
M 4 0 10 1
F 4 5 5 mcdc.c/deep
M 5 1 11 3
M 5 0 0- 1
M 5 0 10 1
F 5 2 2 mcdc.c/mark
F 6 4 4 mcdc.c/nest
M 6 1 11 1
M 6 0 0- 1
M 6 0 10 1
M 7 1 01 1
M 7 1 1- 1
M 7 0 00 2
F 7 0 0 mcdc.c/spin
F 8 6 6 mcdc.c/odd
M 10 0 0 1
X 10 5
X 11 6
M 12 1 1 1
M 12 0 - 1
M 12 0 0 1
X 12 3
F 9 1 1 mcdc.c/main"

# mcdc_lines DATA: the F, M and X lines of mcdc.c's records in DATA, a
# line "END" after each record.
mcdc_lines() {
    records "$1" "$(pwd -P)/mcdc.inst.h" | grep -E '^(F|M|X|END)'
}

# The program without probes, for its output.
mkdir "$scratch/mcdc_ref"
printf '%s\n' '#define QVX_CD1(f, n) ;' '#define QVX_CDF(f, n) ;' '#define QVX_CDX(f, n, b) ;' \
    '#define QVX_CALL(f, n, c, k, m) 0' '#define QVX_MCDC_DEF_0(a, b)' \
    '#define QVX_CM_0(i, f, n, l, t, c, d, ...) (__VA_ARGS__)' \
    '#define QVX_EVAL_0(i, k, ...) (__VA_ARGS__)' >"$scratch/mcdc_ref/mcdc.inst.h"
cp "$fixtures/mcdc.inst.c" "$scratch/mcdc_ref/"
(cd "$scratch/mcdc_ref" && gcc -w -pthread mcdc.inst.c -o prog) || exit 1
run "$scratch/mcdc_ref/prog"
check_eq "mcdc output without probes" "$MCDC_OUT" "$out"

# For each compiler and option set: the output is the program's, each
# decision's evaluated vectors are counted apart by outcome, with the
# short-circuited conditions left out; a recursive call or a decision of
# the same index nested in a condition keeps its own vector. Threads:
# four threads evaluate two decisions 100000 times each; every
# evaluation counts once, also where the threads meet vectors that the
# analysis did not list (decision 9) and may each take a slot for one.
# fork: the child adds only what the child evaluated.
for cc in "${compilers[@]}"; do
    for flags in "-O0" "-O2" "-O3 -std=c99 -pedantic"; do
        name="$cc $flags"
        fresh
        instrument mcdc 03/07/08-14:05:13
        cp "$fixtures/mcdc.inst.c" .
        # shellcheck disable=SC2086
        run "$cc" "${WARN[@]}" $flags -pthread mcdc.inst.c -o mcdc
        check_eq "$name: mcdc builds" "0:" "$rc:$err"
        run ./mcdc
        check_eq "$name: mcdc output" "$MCDC_OUT" "$out"
        check_eq "$name: vectors" "$MCDC_LINES"$'\nEND' "$(mcdc_lines qor_coverage.dat)"

        rm qor_coverage.dat
        run ./mcdc threads
        check_eq "$name: threads output" $'threads 123333 123333 123333 123333\n' "$out"
        # Decision 9's vectors 01 and 00 take spare slots; racing threads
        # may take a slot each for one of them, and then count in X what
        # no longer finds one.
        lines=$(mcdc_lines qor_coverage.dat | sed -n '/^F 7 /,/^F 8 /p' | sed '$d')
        check_eq "$name: threads" "F 7 4 4 mcdc.c/spin
M 8 1 11 133332
M 8 0 0- 200000
M 8 0 10 66668
M 9 1 1- 200000" "$(grep -Ev '^(M 9 1 01|M 9 0 00|X 9) ' <<<"$lines")"
        check_eq "$name: threads, decision 9 unlisted" ok "$(awk '
            /^M 9 1 01 / { a = $5 } /^M 9 0 00 / { b = $5 } /^X 9 / { x = $3 }
            END { print ((a + b + x == 200000 && a <= 160000 && b <= 40000) ? "ok" : a " " b " " x) }
            ' <<<"$lines")"
        # A second run adds its unlisted vectors by value, whatever slots
        # its threads gave them.
        run ./mcdc threads
        check_eq "$name: threads twice, decision 9 unlisted" ok "$(mcdc_lines qor_coverage.dat | awk '
            /^M 9 1 01 / { a += $5; n++ } /^M 9 0 00 / { b += $5; n++ } /^X 9 / { x = $3 }
            END { print ((a + b + x == 400000 && a <= 320000 && b <= 80000 && n <= 2) ? "ok" : a " " b " " x " " n) }')"

        rm qor_coverage.dat
        run ./mcdc fork x
        check_eq "$name: fork output" $'fork 0 0\n' "$out"
        check_eq "$name: fork, the child's vector added to the parent's" "$(printf '%s\n' \
            "F 1 3 3 mcdc.c/both" "M 1 1 10 1" "M 1 0 0- 1" "M 1 0 11 1" "END")" \
            "$(mcdc_lines qor_coverage.dat | grep -Ev '^F [0-9]+ 0 0 |^F 9 ')"
        check_eq "$name: whole records" 1:2 "$(well_formed qor_coverage.dat):$(unit_runs qor_coverage.dat)"
    done
done

# The 11 decisions that the unit lists under their function and count
# take their constants from arrays of their own; the other 3 (decision
# 99, decision 1 under another function, decision 11 of another count)
# look the decision up.
forms() { gcc -E -pthread mcdc.inst.c | grep -o "$1" | wc -l; }
check_eq "mcdc: the forms of the decisions" 11:3 \
    "$(forms 'static const unsigned char qvx_mw'):$(forms 'const struct qvx_decision_ \*const qvx_md')"

# A decision for which the analysis lists more vectors than its table
# keeps (300 of 9 conditions, the last one all true): the header compiles
# as C90, and the true vector, not among the first 256, still gets a
# slot of its own.
fresh
{   printf '{big.c/main 1 0 0 0 300 {'
    for ((i = 0; i < 299; i++)); do
        v=
        for ((b = 256; b >= 1; b /= 2)); do v+=$(( (i + 1) & b ? 1 : 0 )); done
        printf '{%d 3 1 9 0 %s} ' "$i" "${v//0/-}"
    done
    printf '{299 3 1 9 1 111111111}} 9 0}\n'; } >big.func
run "$TCLSH" "$fixtures/drive.tcl" "$SCRIPT" "$PWD/big.inst.h" "$MAIN_DATE" big.func
check_rc "300 vectors" 0
printf '%s\n' '#include "big.inst.h"' 'int main(int argc, char **argv)' \
    '{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP1,QVX_SZ_VECT_COMP1);' 'QVX_CD1(main,1)' ' {' \
    "    {QVX_CDF(main,1)" "return QVX_CM_0(0,main,1,3,0,9,1, ($(for k in $(seq 0 8); do
        printf 'QVX_EVAL_0(0, %d, argc > %d) %s' "$k" "-$k" "$([ "$k" -lt 8 ] && echo '&&')"
    done))) - 1 + (argv == 0); }" '}}' >big.inst.c
run gcc -std=c89 -pedantic "${WARN[@]}" big.inst.c -o big
check_eq "300 vectors: builds" "0:" "$rc:$err"
./big
check_eq "300 vectors: the true vector" $'F 1 1 1 big.c/main\nM 1 1 111111111 1' \
    "$(coverage_text qor_coverage.dat | grep -E '^[FMX] ')"

# ---- Several processes, one file -----------------------------------------

# Two loops of 200 runs each add to one file at the same time: two
# sections (one per unit) of 400 runs each, and no count lost.
fresh
prog_headers && build_prog gcc -O2
export QOR_COVERAGE_FILE=$PWD/shared.dat
for loop in 1 2; do
    (for i in $(seq 200); do ./prog 5 >/dev/null; done) &
done
wait
unset QOR_COVERAGE_FILE
check_eq "parallel runs: whole sections" 2:800 "$(well_formed shared.dat):$(unit_runs shared.dat)"
check_eq "parallel runs: classify() entries" 2000 \
    "$(coverage_text shared.dat | awk '/^F 1 [0-9]+ [0-9]+ classify$/ { n += $3 } END { print n }')"

# The counts wait for a lock that another process holds on the file.
if command -v flock >/dev/null; then
    flock locked.dat sh -c ': >held; sleep 1; date +%s%N >released' &
    holder=$!
    while [ ! -e held ]; do sleep 0.05; done
    QOR_COVERAGE_FILE=$PWD/locked.dat ./prog 5 >/dev/null
    date +%s%N >ended
    wait $holder
    check_eq "lock: the counts after the holder let go" 1 "$(($(cat ended) > $(cat released)))"
    check_eq "lock: then the counts" 2 "$(well_formed locked.dat)"
fi

finish
