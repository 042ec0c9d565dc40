# Parallel builds: a project of many files built through qor_cc with
# `make -j8` leaves byte for byte the files of a `make -j1` build (results,
# archives, basic counts, instrumented files and headers, dependency
# records) and, once run, the same coverage data. Eight processes
# analysing the same file into the same outputs at once leave each output
# whole, as one of them wrote it.
source "${QOR_E2E_LIB:?}" || exit 1
unset QOR_COVERAGE_FILE

# project DIR: 16 units of three functions with decisions and calls, and a
# main that runs them all.
project() {
    mkdir -p "$1/cache" && cd "$1" || exit 1
    local n
    for n in $(seq 16); do
        cat >"unit$n.c" <<C
#include "units.h"
static int step$n(int x) { return x % 3 == 0 || x > $n ? x / 2 : x + $n; }
int walk$n(int x)
{
    int total = 0;
    while (x > 1 && total < 1000) {
        x = step$n(x);
        total += x;
    }
    switch (x) { case 0: return total; case 1: return total + 1; }
    return !total;
}
C
        echo "int walk$n(int x);" >>units.h
    done
    { echo '#include <stdio.h>'; echo '#include "units.h"'
      echo 'int main(int argc, char **argv) { int s = argc;'
      for n in $(seq 16); do echo "  s += walk$n(s + $n + (argc > 1 && argv[1][0] == 'x'));"; done
      echo '  printf("%d\n", s); return 0; }'; } >main.c
    cat >Makefile <<'MAKE'
OBJS = $(patsubst %.c,%.o,$(sort $(wildcard *.c)))
prog: $(OBJS)
	$(CC) -o $@ $(OBJS)
%.o: %.c units.h
	$(CC) -O1 -c $< -o $@
MAKE
}

# snapshot JOBS: builds with make -jJOBS, runs the program twice, and
# lists every file the build and the runs left, with its content (the
# coverage data as text records).
snapshot() {
    rm -f ./*.o ./*.mtr ./*.sta ./*.cb ./*.inst.* prog cov.dat cache/*
    make -s -j"$1" CC="$QOR_FULL_STAGE/bin/qor_cc -batch -cb -inst -cond -dial GNU -cc=gcc" >"make$1.log" 2>&1 ||
        { cat "make$1.log"; return 1; }
    QOR_COVERAGE_FILE=$PWD/cov.dat ./prog >/dev/null
    QOR_COVERAGE_FILE=$PWD/cov.dat ./prog x >/dev/null
    # The units' sections come in the order their programs' exit handlers
    # ran; each is compared on its own.
    coverage_text cov.dat | awk '{ record = record $0 "\n" } /^END$/ { print record > "records.tmp"; record = "" }'
    sort records.tmp >cov.sorted && rm records.tmp
    for f in *.mtr *.sta *.cb *.inst.c *.inst.h cache/* cov.sorted; do
        printf '== %s\n' "$f"; cat "$f"
    done >"snapshot$1.txt"
}

fresh; project "$PWD/p"
snapshot 1 && snapshot 8
check_eq "make -j8: every file as with -j1" "" "$(diff snapshot1.txt snapshot8.txt | head -20)"
check_eq "make -j8: all files made" 16 "$(ls unit*.inst.c | wc -l)"
check_eq "make -j8: two runs of each unit" "17 34" "$(coverage_text cov.dat | grep -c '^END$') $(unit_runs cov.dat)"

# The same file analysed by eight processes at once into the same names:
# every output is whole and equal to the one a single run writes.
qor=("$QOR_FULL_STAGE/bin/qor_cc" -batch -cb -inst -cond -dial GNU -cc=gcc -O1 -c unit3.c -o same.o)
"${qor[@]}" >/dev/null 2>&1
for f in same.mtr same.sta same.cb same.inst.c same.inst.h same.o; do cp "$f" "single.$f"; done
for i in $(seq 8); do "${qor[@]}" >"run$i.log" 2>&1 & done
wait
for f in same.mtr same.sta same.cb same.inst.c same.inst.h; do
    check_eq "eight at once: $f whole" "" "$(cmp "single.$f" "$f" 2>&1)"
done
check_eq "eight at once: no message but the progress lines" "" \
    "$(cat run*.log | grep -v -e '^Analyzing: unit3.c' -e '^qor_cc : using default options file')"
check_eq "eight at once: the object is whole" "$(nm single.same.o)" "$(nm same.o)"
finish
