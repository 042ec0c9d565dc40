# The results files of small C files against files worked out by hand: the
# metrics file, the archive and the basic-counts report; identities over two
# files of one run; dates; and results that cannot be written.
source "${QOR_E2E_LIB:?}" || exit 1
golden="$(dirname -- "${BASH_SOURCE[0]}")/results_files"

# check_golden NAME: NAME.mtr, NAME.sta and NAME.cb equal the expected files.
check_golden() {
    local x expected
    for x in mtr sta cb; do
        slurp expected "$golden/$1.$x.expected"
        check_content "$1.$x" "$1.$x" "$expected"
    done
}

for name in nofunc a long switch; do
    fresh; cp "$golden/$name.c" .
    run "$QOR" -nocccp -nodate -cb "$name.c"
    check_rc "$name.c" 0
    check_lacks "$name.c: no error" "$err" "Error"
    check_golden "$name"
done

# Without -cb there is no report; with -nomtr no metrics file.
fresh; cp "$golden/a.c" .
run "$QOR" -nocccp -nodate -nomtr a.c
check_no_file "no report without -cb" a.cb
check_no_file "no metrics file with -nomtr" a.mtr
check_file "archive with -nomtr" a.sta

# The second file of a run keeps the identities of the names; its entries
# follow the 147 identities that a.c took.
fresh; cp "$golden/a.c" "$golden/switch.c" .
run "$QOR" -nocccp -nodate a.c switch.c
slurp expected "$golden/a.mtr.expected"
check_content "first file of two" a.mtr "$expected"
slurp second switch.mtr
check_contains "names keep their identities" "$second" $'class ::= {\n{"5","FILE"},\n{"4","COMPONENT"}\n}'
check_contains "entries take new identities" "$second" $'class_instance ::= {\n{"149","switch.c","5"},\n{"148","s","4"},\n{"150","e","4"}\n}'
check_contains "instances follow" "$second" $'relation_instance ::= {\n{"241","55","149",{"148","150"} }\n}'

# Old results: no control graphs and no call sites.
fresh; cp "$golden/a.c" .
QOR_NEWRES=old run "$QOR" -nocccp -nodate a.c
check_contains "old results: no graph, no sites" "$(cat a.sta)" $'OPET          4\n.DC.\n.DA.\nf\n.CD.\n    1 Begin    10\n*FI*'

# The date of the archive is the source's modification time, local time.
fresh; cp "$golden/a.c" .
touch -d '2008-03-07 14:05:09 UTC' a.c
TZ=UTC run "$QOR" -nocccp a.c
check_contains "source date" "$(cat a.sta)" $'CURRENT_VERSION\ng 03/07/08-14:05:09\nf 03/07/08-14:05:09\n*MO*'

# A results file that cannot be written is an error; the run goes on and
# writes the other files.
fresh; cp "$golden/a.c" .; mkdir a.mtr
QOR_CC_NO_DEL=1 run "$QOR" -nocccp -nodate -cb a.c
check_rc "metrics file is a directory" 1
check_contains "directory reported" "$err" "a.mtr: Error:  is a directory."
slurp expected "$golden/a.sta.expected"
check_content "archive still written" a.sta "$expected"
slurp expected "$golden/a.cb.expected"
check_content "report still written" a.cb "$expected"

# A source named like its archive is never written over.
fresh; cp "$golden/a.c" keep.sta
run "$QOR" -nocccp -batch -extensions '*.sta' keep.sta
check_rc "source named like its archive" 1
check_contains "source named like its archive: reported" "$err" "keep.sta: Error:  is the source file"
check_content "source named like its archive: intact" keep.sta "$(cat "$golden/a.c")
"

fresh; cp "$golden/a.c" .; echo file >out
run "$QOR" -nocccp -nodate -cb -o out/a.o a.c
check_contains "results directory is a file" "$err" "out/a.mtr: Error:  Not a directory
out/a.cb: Error:  Not a directory
out/a.sta: Error:  Not a directory
qor_cc: 3 error(s).
"

finish
