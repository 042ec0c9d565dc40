# C's name spaces, with gcc as the judge. Each file of name_spaces/ names
# members, tags, labels, parameters, block-scope and for declarations and
# enumeration constants like type names, and gcc accepts it without a
# warning. qor_cc must analyse it without a message and measure each
# function as the line "// NAME: statements N, operators N, decisions ..."
# after it says: a type name read as an identifier, or an identifier read
# as a type name, ends in a syntax error or changes those figures.
source "${QOR_E2E_LIB:?}" || exit 1
cases="$(cd "$(dirname "${BASH_SOURCE[0]}")/name_spaces" && pwd)"

# figures STA: for each function of an archive, in order, its statements,
# its operators and the kinds of its decisions but the first (Begin).
figures() {
    awk '
        function flush() {
            if (name != "") print name ": statements " inst ", operators " ops ", decisions" kinds
            name = ""
        }
        /^\*MO\*$/ { flush(); getline; name = $1; kinds = ""; section = ""; next }
        /^\*FI\*$/ { flush(); next }
        /^\.[A-Z][A-Z]\.$/ { section = $0; next }
        section == ".DT." && $1 == "INST" { inst = $2 }
        section == ".DT." && $1 == "OOPT" { ops = $2 }
        section == ".CD." && $2 != "Begin" { kinds = kinds " " $2 }
    ' "$1"
}

fresh
cp "$cases"/*.c .
for source in *.c; do
    run gcc -std=gnu17 -fsyntax-only -Wall -Werror "$source"
    check_eq "$source: gcc accepts it without a warning" "0:" "$rc:$err"
done
run "$QOR_FULL_STAGE/bin/qor_cc" -nocccp -batch -dial GNU -cc=gcc -std=gnu17 -c *.c
check_eq "no message" "" "$err"
check_rc "analysed and compiled" 0
for source in *.c; do
    check_eq "$source: figures" "$(sed -n 's|^// ||p' "$source")" "$(figures "${source%.c}.sta")"
done

finish
