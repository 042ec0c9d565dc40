# Counts that survive any ending: a program built by qor_cc -inst -cond
# (coverage_endings/endings.c) ends by exit, SIGKILL, abort, _exit, exec,
# fork, the dump call and threads; what qor_report makes of its data file
# and the live files that remain must count every call of work() once.
source "${QOR_E2E_LIB:?}" || exit 1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
unset QOR_COVERAGE_FILE

fresh
cp "$here/coverage_endings/endings.c" .
run "$QOR_FULL_STAGE/bin/qor_cc" -batch -quiet -inst -cond -dial GNU -cc=gcc -pthread -o endings endings.c
check_eq "builds" "0:" "$rc:$err"

# report: qor_report's lines of work() for the data of the last run(s).
report() {
    "$QOR_FULL_STAGE/bin/qor_report" coverage . 2>&1 | awk '/function work /, /function worker /' | sed '$d'
}
# entries: how often work() was entered, and exited.
entries() { report | sed -n 's/.*function work (line [0-9]*): entered \([0-9]*\), exited \([0-9]*\).*/\1 \2/p'; }
clean() { rm -f qor_coverage.dat qor_coverage.*.dat qor_coverage.dat.*.qvl; }
live_files() { ls | grep -c '\.qvl$'; }

./endings exit >/dev/null
check_eq "exit: counts" "5 5" "$(entries)"
check_eq "exit: no live file stays" 0 "$(live_files)"
exit_report=$(report)
clean

# Each way of ending: ARGUMENT, the calls of work() counted, the live files
# that stay.
for item in "kill 5 1" "abort 5 1" "_exit 5 1" "exec 10 1" "fork 6 1" "dump 6 1" "threads 400005 1"; do
    read -r how calls stay <<<"$item"
    (./endings "$how" >/dev/null 2>&1)
    check_eq "$how: counts" "$calls $calls" "$(entries)"
    check_eq "$how: live files" "$stay" "$(live_files)"
    # Killed after the same five calls, the report of work(), its
    # decisions and condition vectors, is that of a normal exit.
    [ "$how" = kill ] && check_eq "kill: the report of a normal exit" "$exit_report" "$(report)"
    clean
done

# around_kill COUNTS COMMAND...: what the function COUNTS prints while
# COMMAND runs, then what it prints once SIGKILL from outside ended it.
around_kill() {
    local counts=$1 pid
    shift
    "$@" >/dev/null &
    pid=$!
    sleep 0.3
    "$counts"
    kill -9 "$pid"
    wait "$pid" 2>/dev/null
    "$counts"
}

# SIGKILL from outside at any moment: the live file is whole while the
# program runs and after; work() was left as often as entered, or once
# less.
{ read -r during_in during_out; read -r after_in after_out; } < <(around_kill entries ./endings loop)
check_eq "loop: counting while it ran" 1 "$((during_in > 1000 && during_in - during_out <= 1))"
check_eq "loop: whole after SIGKILL" 1 "$((after_in >= during_in && after_in - after_out <= 1))"
clean

# The same with a loop without calls, built with the optimizer and
# without threads: its counts are in the live file on every pass.
mkdir optimized
(cd optimized && "$QOR_FULL_STAGE/bin/qor_cc" -batch -quiet -inst -cond -dial GNU -cc=gcc -O2 -o spin ../endings.c -lpthread)
spins() { # how often the spinning loop's decision was true, and false by its vector 00
    "$QOR_FULL_STAGE/bin/qor_report" coverage optimized 2>&1 | awk '
        / u%3==0\|\|u%5==0 .* taken / { sub(/.* taken /, ""); taken = $1 }
        /conditions of .*u%3==0 \|\| u%5==0/ { decision = 1 }
        decision && / vector 00 / { print taken, $5; exit }'
}
{ read -r during_true during_false; read -r after_true after_false; } < <(around_kill spins optimized/spin spin)
check_eq "spin -O2: counting while it ran" 1 "$((during_true > 1000 && during_false > 1000))"
check_eq "spin -O2: kept after SIGKILL" 1 "$((after_true >= during_true && after_false >= during_false))"
rm -r optimized
clean

# A process that added its counts to the data file but could not remove
# its live file (here a second name of it stays) is counted once.
mkfifo input
./endings wait <input >/dev/null &
waiting=$!
exec 3>input
sleep 0.2
live=$(ls | grep '\.qvl$')
ln "$live" "${live%.qvl}-7.qvl"
echo >&3
exec 3>&-
wait "$waiting"
check_eq "record and live file: counted once" "5 5" "$(entries)"
run "$QOR_FULL_STAGE/bin/qor_report" coverage .
check_contains "record and live file: said" "$out" \
    "-7.qvl: the counts of $PWD/endings.inst.h were added to $PWD/qor_coverage.dat; counted once"
clean

# Runs add up in the data file, per test label: 40 processes at once
# leave a data file per label of one section, and more runs add nothing
# to its size.
./endings exit >/dev/null
for i in $(seq 20); do
    QOR_COVERAGE_LABEL=odd ./endings exit >/dev/null & QOR_COVERAGE_LABEL='even
2' ./endings exit >/dev/null &
done
wait
check_eq "40 runs: counts" "205 205" "$(entries)"
sizes=$(stat -c %s qor_coverage.dat qor_coverage.odd.dat qor_coverage.even_2.dat)
check_eq "40 runs: a section per label" 3 "$(coverage_text qor_coverage*.dat | grep -c '^END$')"
for i in $(seq 5); do QOR_COVERAGE_LABEL=odd ./endings exit >/dev/null; done
check_eq "45 runs: the same sizes" "$sizes" "$(stat -c %s qor_coverage.dat qor_coverage.odd.dat qor_coverage.even_2.dat)"
run "$QOR_FULL_STAGE/bin/qor_report" coverage .
check_eq "45 runs: one run per label" "  run 1: ./qor_coverage.dat, 1 run(s) added up, 1 unit(s)
  run 2: ./qor_coverage.even_2.dat, label even\0122, 20 run(s) added up, 1 unit(s)
  run 3: ./qor_coverage.odd.dat, label odd, 25 run(s) added up, 1 unit(s)" "$(grep '^  run ' <<<"$out")"
check_eq "45 runs: no live file stays" 0 "$(live_files)"
clean
mkdir d.ir
QOR_COVERAGE_FILE=$PWD/d.ir/cov QOR_COVERAGE_LABEL=a/b ./endings exit >/dev/null
check_eq "a label without an extension to go before" "cov.a_b" "$(ls d.ir | xargs)"

# A data file of an earlier run-time (text records) is not written to:
# the counts stay in the live file, and both are read.
printf 'QVX 1 7\nH %s/endings.inst.h\n' "$PWD" >qor_coverage.dat
./endings exit >/dev/null
check_eq "older data file: left alone" "$(printf 'QVX 1 7\nH %s/endings.inst.h\n' "$PWD")" "$(cat qor_coverage.dat)"
check_eq "older data file: counts in the live file" "5 5:1" "$(entries):$(live_files)"
clean

# A live file that does not hold its block is named and left out.
(./endings kill >/dev/null 2>&1)
live=$(ls | grep '\.qvl$')
truncate -s 4100 "$live"
run "$QOR_FULL_STAGE/bin/qor_report" coverage .
check_contains "truncated live file: named" "$err" "$live(1): Warning:  the file ends before its block; live file left out"
check_eq "truncated live file: not counted" "0 0" "$(entries)"

# A shared library loaded at run time keeps its symbols to itself: its
# units have a live file of their own, and unloading it (which writes its
# records) removes that file only, not the program's.
fresh
cp "$here/coverage_endings/plugin.c" "$here/coverage_endings/host.c" .
"$QOR_FULL_STAGE/bin/qor_cc" -batch -quiet -inst -dial GNU -cc=gcc -fPIC -shared -o plugin.so plugin.c &&
    "$QOR_FULL_STAGE/bin/qor_cc" -batch -quiet -inst -dial GNU -cc=gcc -o host host.c -ldl
check_eq "plugin: builds" 0 $?
entered() { # FUNCTION: how often qor_report says it was entered
    "$QOR_FULL_STAGE/bin/qor_report" coverage . 2>&1 |
        sed -n "s/.*function $1 (line [0-9]*): entered \([0-9]*\),.*/\1/p"
}
(./host kill >/dev/null 2>&1)
check_eq "plugin, killed: its counts" "3 1" "$(entered plugin_work) $(entered main)"
check_eq "plugin, killed: the program's live file stays" 1 "$(live_files)"
clean
./host >/dev/null
check_eq "plugin, exit: its counts" "3 1" "$(entered plugin_work) $(entered main)"
check_eq "plugin, exit: no live file stays" 0 "$(live_files)"
clean

finish
