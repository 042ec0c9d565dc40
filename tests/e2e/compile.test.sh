# The compile step: the argument vector handed to the real compiler, how
# its outcome becomes our exit status, and what prevents it.
source "${QOR_E2E_LIB:?}" || exit 1

# With the real compiler.
fresh; mk_c a.c
run "$QOR" -nocccp -dial GNU -cc=gcc -c a.c -o out.o
check_rc "gcc compile" 0
check_file "gcc compile leaves the object" out.o

# The analysis accepts it; the compiler does not know the name.
printf 'int broken(void) { return undeclared_name; }\n' >bad.c
run "$QOR" -nocccp -batch -dial GNU -cc=gcc -c bad.c
check_rc "gcc rejects it" 1
check_contains "gcc's own message" "$err" "bad.c:1"
check_contains "compile failure reported after gcc's message" "${err#*bad.c:1}" $'\nError(s): during compilation\n'

# The compiler's status is ours (a signal's, in bad_input.test.sh).
run env FAKE_STATUS=3 "$QOR" -nocccp -batch -cc="$FAKE" -c a.c
check_rc "compiler exits 3" 3
check_contains "compiler exits 3: message" "$err" "Error(s): during compilation"

# A crash of qor_cc itself ends in the internal-error text and status 4.
run env FAKE_SIGNAL_PARENT=SEGV "$QOR" -nocccp -batch -cc="$FAKE" -c a.c
check_contains "crash" "$err" $'qor_cc: Internal error : Investigation required.\n Please contact BRISANDOR Support.\n'
check_rc "crash" 4
run env FAKE_SIGNAL_PARENT=BUS "$QOR" -nocccp -batch -cc="$FAKE" -c a.c
check_rc "bus error" 4

# An error counted before the compile step prevents it.
fresh; mk_c a.c
run "$QOR" -nocccp -batch -cc="$FAKE" -c a.c -o a.o -o b.o
check_contains "second -o" "$err" $'Error(s):  Option -o is allowed only once\n'
check_contains "second -o: summary" "$err" $'\nqor_cc: 1 error(s).\n'
check_rc "second -o" 1
check_not_compiled "second -o"

run "$QOR" -nocccp -batch -cc="$FAKE" -c nofile.c
check_contains "missing source" "$err" $'nofile.c: Error:  No such file or directory\n'
check_rc "missing source" 1
check_not_compiled "missing source"

# Argument order: command words, preprocessor options, sources, objects,
# compiler options.
fresh; mk_c a.c
run "$QOR" -nocccp -batch -cc="$FAKE" -DX=1 -I inc -Wall -c a.c b.o -O2
check_args "argument order" -DX=1 -I inc -Wall -O2 a.c b.o -Wall -c -O2
check_rc "argument order" 0

# A compiler command of several words is split at blanks.
fresh; mk_c a.c
run "$QOR" -nocccp -batch -cc="env FAKE_LOG=$PWD/env.log $FAKE" a.c
check_content "multi-word compiler command" env.log $'a.c\n==\n'
check_rc "multi-word compiler command" 0

# The link line keeps its -o.
fresh
run "$QOR" -nocccp -cc="$FAKE" -o prog a.o b.o
check_args "link line keeps -o prog" a.o b.o -o prog
check_rc "link line" 0

finish
