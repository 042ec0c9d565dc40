# Command-line errors that end in the usage text, before anything is
# analysed or compiled.
source "${QOR_E2E_LIB:?}" || exit 1

fresh
run "$QOR"
check_eq "no argument: usage on stderr" "qor_cc:
$USAGE_TEXT" "$err"
check_eq "no argument: stdout" "" "$out"
check_rc "no argument" 1

run "$QOR" -help
check_eq "-help: usage on stderr" "qor_cc:
$USAGE_TEXT" "$err"
check_rc "-help" 1

# The usage file is looked up beside the executable, not in the stage.
copy_install nousage
rm "$scratch/nousage/bin/qor_cc.usage"
run "$scratch/nousage/bin/qor_cc"
check_eq "missing usage file" $'qor_cc:\nSorry, no usage file available.\n' "$err"
check_rc "missing usage file" 1

mk_c a.c
run "$QOR" -batch a.c -dial
check_starts "-dial without a value" "$err" $'Error(s):  Option -dial has to be followed by a dialect name\nqor_cc:\n'
check_rc "-dial without a value" 1
# An option in place of the dialect name counts as a missing value.
run "$QOR" -dial -batch a.c
check_starts "-dial followed by an option" "$err" $'Error(s):  Option -dial has to be followed by a dialect name\nqor_cc:\n'
check_rc "-dial followed by an option" 1

# Several sources can only share an output directory.
mk_c b.c
run "$QOR" -batch -cc="$FAKE" a.c b.c -o x.o
check_eq "-o file with two sources" "Error(s):  -o <dirname> expected, -o <filename> found
qor_cc:
$USAGE_TEXT" "$err"
check_rc "-o file with two sources" 1
check_not_compiled "-o file with two sources"

finish
