# Real build systems driving qor_cc, on the small project in
# build_systems/ (a program, a library of two files, an include directory,
# a system include directory and a definition on the command line). Each
# build runs in every mode (static, -inst, -inst -cond) with parallel jobs
# and must succeed, print no message of qor_cc about the clean sources
# (they run with -quiet), leave the results files of every source, and
# produce a program that passes its own checks and, in dynamic mode,
# writes coverage records. Covered: CMake (qor_cc as CC with its options,
# and as a compiler launcher; Makefile and Ninja generators; precompiled
# headers) with rebuilds after a header change, an autoconf configure
# script whose findings must be those of gcc itself, compiler commands
# through ccache and through distcc, and Meson.
source "${QOR_E2E_LIB:?}" || exit 1
# The groups below run in the background: the scratch tree goes once they
# have ended.
trap 'wait; cd / && rm -rf "$scratch"' EXIT

projects=$(cd "$(dirname "${BASH_SOURCE[0]}")/build_systems" && pwd) || exit 1
# The builds include the C library's headers: the installation with the
# host's dialect data.
QOR=$QOR_FULL_STAGE/bin/qor_cc
unset CC CFLAGS CPPFLAGS LDFLAGS MAKEFLAGS MFLAGS QOR_COVERAGE_FILE QOR_CC_QUIET
unset CCACHE_DIR CCACHE_DISABLE CCACHE_PREFIX DISTCC_HOSTS DISTCC_FALLBACK DISTCC_DIR
MODES=(static inst cond)

# mode_opts MODE: qor_cc's options for MODE.
mode_opts() { case $1 in inst) echo -inst ;; cond) echo -inst -cond ;; esac; }

# project SYSTEM: a fresh directory with the sources and SYSTEM's files.
project() { fresh; cp -R "$projects/src" "$projects/$1/." . || exit 1; }

# build LABEL CMD...: runs one build step into build.log; status 1 when it
# fails. The sources are clean and qor_cc is quiet, so it must say nothing:
# no banner, no options-file line, no message, no count.
build() {
    local label=$1; shift
    "$@" >build.log 2>&1
    local status=$?
    if [ $status -ne 0 ]; then
        not_ok "$label fails (status $status)" "$(grep -m8 -E 'error|FAILED|\*\*\*' build.log)" ... "$(tail -3 build.log)"
        return 1
    fi
    ok
    check_eq "$label: no message of qor_cc" "" \
        "$(grep -E '\(qor_cc\)$|^qor_cc ?:|\): (Error|Warning)|(Warning|Error)\(s\)' build.log)"
}

# results LABEL MODE PATH...: each PATH (a results name without its
# extension) has its archive and metrics, in dynamic mode its instrumented
# copy and header.
results() {
    local label=$1 mode=$2 path ext missing= exts=(sta mtr)
    [ "$mode" = static ] || exts+=(inst.c inst.h)
    shift 2
    for path; do
        for ext in "${exts[@]}"; do [ -f "$path.$ext" ] || missing+=" $path.$ext"; done
    done
    check_eq "$label: results files" "" "$missing"
}

# program LABEL DATA CMD...: runs the program, which checks itself.
program() {
    local label=$1 data=$2; shift 2
    run env QOR_COVERAGE_FILE="$data" "$@"
    check_rc "$label: program runs" 0
    check_contains "$label: program output" "$out" ", ok"
}

# coverage LABEL MODE DATA RUNS HEADERS: DATA adds up RUNS runs (one per
# unit and process) of the units of HEADERS, with condition vectors in
# -cond mode only; an uninstrumented program writes none.
coverage() {
    local label=$1 mode=$2 data=$3 vectors=no text
    if [ "$mode" = static ]; then
        check_no_file "$label: no coverage data without -inst" "$data"
        return
    fi
    text=$(coverage_text "$data" 2>&1)
    check_eq "$label: coverage runs" "$4" "$(unit_runs "$data")"
    check_eq "$label: records of each unit" "$5" "$(sed -n 's|^H .*/||p' <<<"$text" | sort -u | xargs)"
    grep -q '^M ' <<<"$text" && vectors=yes
    check_eq "$label: condition vectors" "$([ "$mode" = cond ] && echo yes || echo no)" "$vectors"
}

# rebuild LABEL DIR EXPECTED CMD...: building again (CMD) changes no
# object under DIR; after touching calc.h it rebuilds exactly the objects
# EXPECTED (names, sorted), which needs dependency files that name the
# original source and its headers, in dynamic mode too.
rebuild() {
    local label=$1 dir=$2 expected=$3
    shift 3
    touch .marker
    build "$label: build again" "$@" || return
    check_eq "$label: nothing rebuilt" "" "$(find "$dir" -name '*.o' -newer .marker -printf '%f\n')"
    touch .marker src/include/calc.h
    build "$label: build after touching calc.h" "$@" || return
    check_eq "$label: objects rebuilt" "$expected" "$(find "$dir" -name '*.o' -newer .marker -printf '%f\n' | sort | xargs)"
}

# group NAME CMD...: runs CMD, a group of cases, in the background with a
# scratch tree of its own; gather waits for every group and reports them
# in order. The groups run at the same time to keep the script short.
groups=()
group() {
    local name=$1; shift
    groups+=("$name")
    (
        scratch=$scratch/$name passed=0 failed=0 case_no=0
        mkdir -p "$scratch/.cap" || exit 1
        "$@"
        echo "$passed $failed" >"$scratch/counts"
    ) >"$scratch/$name.out" 2>&1 &
}
gather() {
    local name p f
    wait
    for name in "${groups[@]}"; do
        cat "$scratch/$name.out"
        if read -r p f <"$scratch/$name/counts"; then
            passed=$((passed + p)) failed=$((failed + f))
        else
            not_ok "$name: the group ended early"
        fi
    done
}

# CMake. CC holds qor_cc with its options, no wrapper script: CMake takes
# the first word of CC as the compiler and keeps the rest
# (CMAKE_C_COMPILER_ARG1) right behind it on every compile and link line,
# those of its compiler detection included, so this form works as it is.
# A launcher runs in front of the compiler CMake found, for compiles only.
cmake_build() { # FORM GENERATOR MODE [CMAKE-OPTION...]
    local form=$1 generator=$2 mode=$3 opts label="cmake $1 $2 $3${4:+ $4}"
    shift 3
    opts=$(mode_opts "$mode")
    project cmake
    if [ "$form" = CC ]; then
        build "$label: configure" env CC="$QOR -dial GNU -cc=gcc -quiet $opts" \
            cmake -G "$generator" -S . -B b "$@" || return
    else
        build "$label: configure" cmake -G "$generator" -S . -B b "$@" \
            -DCMAKE_C_COMPILER_LAUNCHER="$QOR;-dial;GNU;-quiet${opts:+;${opts// /;}}" || return
    fi
    # Known as gcc, CMake gives it gcc's options for dependency files and
    # system include directories.
    check_contains "$label: compiler identified" "$(cat build.log)" "The C compiler identification is GNU"
    build "$label: build" cmake --build b -j4 || return
    # CMake names an object after the whole source name: main.c.o.
    results "$label" "$mode" b/CMakeFiles/app.dir/src/main.c b/CMakeFiles/calc.dir/src/calc.c \
        b/CMakeFiles/calc.dir/src/words.c
    run env QOR_COVERAGE_FILE="$PWD/cov.dat" ctest --test-dir b --output-on-failure
    check_rc "$label: ctest" 0
    check_contains "$label: ctest" "$out" "100% tests passed, 0 tests failed out of 2"
    coverage "$label" "$mode" cov.dat 6 "calc.c.inst.h main.c.inst.h words.c.inst.h"
    rebuild "$label" b "calc.c.o main.c.o" cmake --build b -j4
}
cmake_group() { # FORM
    local generator mode
    for generator in "Unix Makefiles" Ninja; do
        for mode in "${MODES[@]}"; do cmake_build "$1" "$generator" "$mode"; done
    done
}
# Precompiled headers: the library's compiles get them with -include, and
# the header is compiled on its own (-x c-header).
cmake_pch_group() { local mode; for mode in "${MODES[@]}"; do cmake_build CC Ninja "$mode" -DSAMPLE_PCH=ON; done; }

# Autoconf. configure is generated here and run out of the tree, once
# with gcc and once per mode with qor_cc in front of gcc: config.h, the
# cached findings and the substitutions must be the same, those of the
# probes that must fail included (a missing header, function or type, an
# error directive, a link with an undefined name).
autoconf_dir=
autoconf_prepare() {
    project autoconf
    build "autoconf: generate configure" sh -c 'autoconf && autoheader' || return
    mkdir gcc && (cd gcc && ../configure -C CC=gcc >configure.log 2>&1) ||
        { not_ok "autoconf: configure with gcc" "$(tail gcc/configure.log)"; return; }
    check_contains "autoconf: gcc misses the missing header" "$(cat gcc/config.h)" \
        "/* #undef HAVE_NONEXISTENT_HEADER_XYZ_H */"
    autoconf_dir=$PWD
}
# findings DIR CC: DIR's cached findings, with the compiler command CC
# written "CC" and the compiler's own settings left out.
findings() {
    grep -v -e '^ac_cv_env_CC_' -e '^ac_cv_prog_ac_ct_CC=' "$1/config.cache" |
        sed -e 's/^ac_cv_prog_cc_[A-Za-z0-9_]*_c_o=.*=\(.*\)}$/ac_cv_prog_cc_CC_c_o=\1/' \
            -e "s|^ac_cv_prog_CPP=\${ac_cv_prog_CPP='$2 -E'}\$|ac_cv_prog_CPP=CC -E|" | sort
}
autoconf_build() { # MODE
    local mode=$1 label="autoconf $1" opts cc
    opts=$(mode_opts "$mode")
    cc="$QOR -dial GNU -cc=gcc -quiet${opts:+ $opts}"
    mkdir "$autoconf_dir/$mode" && cd "$autoconf_dir/$mode" || exit 1
    build "$label: configure" ../configure -C CC="$cc" || return
    check_eq "$label: config.h" "$(cat ../gcc/config.h)" "$(cat config.h)"
    check_eq "$label: cached findings" "$(findings ../gcc gcc)" "$(findings . "$cc")"
    check_eq "$label: substitutions" "$(grep -v '^CC =' ../gcc/Makefile)" "$(grep -v '^CC =' Makefile)"
    build "$label: make" make -j4 || return
    results "$label" "$mode" main calc words
    program "$label: objects linked" "$PWD/cov.dat" ./app
    program "$label: compiled and linked at once" "$PWD/cov.dat" ./app_onestep
    coverage "$label" "$mode" cov.dat 6 "calc.inst.h main.inst.h words.inst.h"
}

# The compiler command may start with a launcher of its own. The
# hand-written Makefile project builds with dependency files (-MMD -MP).
# ccache: after a clean, the second build comes from the cache. Here the
# environment makes qor_cc quiet.
ccache_build() { # MODE
    local mode=$1 label="ccache $1" cc hits
    project make
    export CCACHE_DIR=$PWD/ccache QOR_CC_QUIET=1
    cc="$QOR -dial GNU $(mode_opts "$mode") '-cc=ccache gcc'"
    build "$label: first build" make -j4 CC="$cc" || return
    make -s clean && ccache -z >/dev/null
    build "$label: second build" make -j4 CC="$cc" || return
    hits=$(ccache --print-stats | awk '$1 ~ /^(direct|preprocessed)_cache_hit$/ { n += $2 } END { print n + 0 }')
    check_eq "$label: second build from the cache" 3 "$hits"
    results "$label" "$mode" main calc words
    program "$label" "$PWD/cov.dat" ./app
    coverage "$label" "$mode" cov.dat 3 "calc.inst.h main.inst.h words.inst.h"
    rebuild "$label" . "calc.o main.o" make -j4 CC="$cc"
}
ccache_group() { local mode; for mode in "${MODES[@]}"; do ccache_build "$mode"; done; }

# distcc, against a distccd of our own that listens on the loopback
# address only and admits only it. Run as root, distccd changes to the
# user of --user; that user cannot reach this scratch tree, so its log
# goes to the standard error it inherits. No fallback to a local compile:
# each compile must be done by the daemon, as its log tells.
distccd_pid= distccd_log=
start_distccd() {
    local port i user=()
    [ "$(id -u)" -eq 0 ] && user=(--user nobody)
    distccd_log=$scratch/distccd.log
    for port in $(shuf -i 20000-60000 -n 5); do
        (cd / && exec env TMPDIR=/tmp distccd --daemon --no-detach --listen 127.0.0.1 --port "$port" \
            --allow 127.0.0.1 "${user[@]}" --jobs 2 --log-stderr --log-level info) 2>"$distccd_log" &
        distccd_pid=$!
        for i in $(seq 50); do
            grep -q "listening on 127.0.0.1:$port" "$distccd_log" && { export DISTCC_HOSTS=127.0.0.1:$port; return 0; }
            kill -0 "$distccd_pid" 2>/dev/null || break
            sleep 0.1
        done
        stop_distccd
    done
    not_ok "distcc: distccd does not start" "$(tail -5 "$distccd_log")"
    return 1
}
stop_distccd() {
    [ -n "$distccd_pid" ] && kill "$distccd_pid" 2>/dev/null && wait "$distccd_pid" 2>/dev/null
    distccd_pid=
}
distcc_build() { # MODE
    local mode=$1 label="distcc $1" cc before i
    project make
    cc="$QOR -dial GNU -quiet $(mode_opts "$mode") '-cc=distcc gcc'"
    mkdir .distcc || exit 1
    before=$(grep -c COMPILE_OK "$distccd_log")
    build "$label: build" env DISTCC_FALLBACK=0 DISTCC_DIR="$PWD/.distcc" make -j4 CC="$cc" || return
    # The daemon logs a job once its result is sent.
    for i in $(seq 20); do
        [ "$(grep -c COMPILE_OK "$distccd_log")" -ge $((before + 3)) ] && break
        sleep 0.1
    done
    check_eq "$label: compiled by distccd" 3 $(($(grep -c COMPILE_OK "$distccd_log") - before))
    results "$label" "$mode" main calc words
    program "$label" "$PWD/cov.dat" ./app
    coverage "$label" "$mode" cov.dat 3 "calc.inst.h main.inst.h words.inst.h"
    rebuild "$label" . "calc.o main.o" env DISTCC_FALLBACK=0 DISTCC_DIR="$PWD/.distcc" make -j4 CC="$cc"
}
distcc_group() {
    local mode
    trap stop_distccd EXIT
    start_distccd || return
    for mode in "${MODES[@]}"; do distcc_build "$mode"; done
    stop_distccd
}

# Meson finds out which compiler CC is from its version text, which qor_cc
# leaves to gcc.
meson_build() { # MODE
    local mode=$1 label="meson $1" opts cc
    opts=$(mode_opts "$mode")
    cc="$QOR -dial GNU -cc=gcc -quiet${opts:+ $opts}"
    project meson
    build "$label: setup" env CC="$cc" meson setup b || return
    check_contains "$label: compiler identified" "$(cat build.log)" "C compiler for the host machine: $cc (gcc "
    build "$label: build" ninja -C b -j4 || return
    results "$label" "$mode" b/app.p/src_main.c b/libcalc.a.p/src_calc.c b/libcalc.a.p/src_words.c
    run env QOR_COVERAGE_FILE="$PWD/cov.dat" meson test -C b
    check_rc "$label: meson test" 0
    coverage "$label" "$mode" cov.dat 6 "src_calc.c.inst.h src_main.c.inst.h src_words.c.inst.h"
    rebuild "$label" b "src_calc.c.o src_main.c.o" ninja -C b -j4
}
meson_group() { local mode; for mode in "${MODES[@]}"; do meson_build "$mode"; done; }

# installed TOOL...: the tools are there (scripts/setup-deps installs them).
installed() {
    local tool missing=
    for tool; do command -v "$tool" >/dev/null || missing+=" $tool"; done
    [ -z "$missing" ] && return
    not_ok "not installed:$missing"
    return 1
}

installed cmake ninja && group cmake-CC cmake_group CC && group cmake-launcher cmake_group launcher &&
    group cmake-pch cmake_pch_group
installed ccache && group ccache ccache_group
installed distcc distccd && group distcc distcc_group
if command -v meson >/dev/null; then group meson meson_group; else echo "skipped: meson is not installed"; fi
installed autoconf autoheader && autoconf_prepare
if [ -n "$autoconf_dir" ]; then
    for mode in "${MODES[@]}"; do group "autoconf-$mode" autoconf_build "$mode"; done
fi
gather
finish
