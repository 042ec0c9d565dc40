# Words that do not come straight from the command line: list files (one
# command line per line) and response files (@file).
source "${QOR_E2E_LIB:?}" || exit 1

# Each line starts from a clean option state: neither the compiler nor the
# options of one line reach the next. Blank lines are skipped.
fresh; mk_c a.c b.c c.c
cat >list.txt <<LIST
-batch -cc=$FAKE -DONE a.c

-batch -cc=$FAKE b.c
-batch c.c
LIST
run "$QOR" -batch -l list.txt
check_content "lines keep their own options" fake.log $'-DONE\na.c\n==\nb.c\n==\n'
check_eq "list progress" $'Analyzing: a.c...\nAnalyzing: b.c...\nAnalyzing: c.c...\n' "$out"

# A failing line is reported, but the list run itself ends with status 0.
fresh
printf -- '-batch nofile.c\n' >list.txt
run "$QOR" -l list.txt
check_contains "list line with a missing source" "$err" $'nofile.c: Error:  No such file or directory\n'
check_rc "list line with a missing source" 0

# Lines are not cut at a buffer size.
fresh; mk_c a.c
defines=()
for i in $(seq 1 70); do defines+=("-DXXX_$i=1"); done
printf '%s\n' "-batch -cc=$FAKE ${defines[*]} a.c -c" >list.txt
check_eq "long line is long" 1 "$(( $(wc -c <list.txt) > 600 ))"
run "$QOR" -l list.txt
check_args "long list line read whole" "${defines[@]}" a.c -c

fresh
run "$QOR" -batch -l nolist.txt
check_eq "missing list file" $'qor_cc: ERROR: Can not open nolist.txt\n' "$err"
check_rc "missing list file" 1

# Response files are expanded once the dialect allows them (GNU does); the
# GNU dialects hand gcc its words in the order given.
fresh; mk_c "x y.c"
printf '%s\n' '-DA=1 "x y.c"' '-DB=2' >resp.txt
run "$QOR" -batch -cc="$FAKE" -dial GNU @resp.txt
check_args "response file expanded" -DA=1 "x y.c" -DB=2
check_rc "response file expanded" 0

# Before -dial the default dialect is in force: '@' is a plain word.
fresh; mk_c a.c
printf '%s\n' '-DA=1' >resp.txt
run "$QOR" -batch -cc="$FAKE" @resp.txt -dial GNU a.c
check_args "response file before -dial" @resp.txt a.c

run "$QOR" -batch -cc="$FAKE" -dial GNU @nofile
check_eq "missing response file" $'qor_cc: Error: nofile: No such file or directory\nqor_cc: 1 error(s).\n' "$err"
check_rc "missing response file" 2

finish
