# The constructs of C23, and the old code that C23 mode must leave as it
# was, with gcc 12 and clang 19 as the judges. Each file of c23_constructs/
# names the compilers and modes that build it ("// built with: clang-19
# -std=gnu23", a line each); each of them must accept it. Built through
# qor_cc with each of them, it is analysed without a message, its functions
# measure as the lines "// NAME: statements N, decisions N" at its end say,
# and built with -inst and with -inst -cond it prints what the plain build
# prints. A compiler that is not installed is skipped with a note.
source "${QOR_E2E_LIB:?}" || exit 1
cases="$(cd "$(dirname "${BASH_SOURCE[0]}")/c23_constructs" && pwd)"
QORD="$QOR_FULL_STAGE/bin/qor_cc"

# check_build SOURCE CC FLAGS...: the whole comparison with one compiler.
check_build() {
    local source=$1 cc=$2 name="$1 ($2 ${*:3})"
    shift 2
    run "$cc" "$@" -fsyntax-only "$source"
    check_eq "$name: the compiler accepts it" "0" "$rc"
    rm -f "${source%.c}.sta"
    run "$QORD" -batch -dial GNU -cc="$cc" "$@" -c "$source"
    check_eq "$name: no message" "" "$err"
    check_eq "$name: figures" "$(figures_written "$source")" "$(figures "${source%.c}.sta")"
    "$cc" "$@" -w -o plain "$source" && ./plain >plain.out
    for mode in "" -cond; do
        rm -f "${source%.c}.o"
        QOR_INSTRUMENT_TCL= run "$QORD" -batch -inst $mode -dial GNU -cc="$cc" "$@" -w -c "$source"
        check_eq "$name -inst $mode: no message" "" "$err"
        "$cc" -o inst "${source%.c}.o" && QOR_COVERAGE_FILE=$PWD/coverage.dat ./inst >inst.out
        check_eq "$name -inst $mode: same output" "$(cat plain.out)" "$(cat inst.out)"
    done
}

fresh
cp "$cases"/*.c .
for source in *.c; do
    while read -r cc flags; do
        if ! command -v "$cc" >/dev/null; then
            echo "note: $source is not built with $cc, which is not installed"
            continue
        fi
        check_build "$source" "$cc" $flags
    done < <(sed -n 's|^// built with: ||p' "$source")
done

# The built-in preprocessor chooses the same text with #elifdef, #elifndef
# and __has_c_attribute (without the C library's headers, which it does
# not read as gcc does: printf becomes a comma expression; and with the
# macro defined on the command line).
sed '/#include/d; /#define CHOSEN/d; s/printf(/(void)(/' directives.c >builtin.c
run "$QORD" -batch -nocccp -dial GNU -cc=gcc -std=gnu2x -DCHOSEN -c builtin.c
check_eq "directives.c -nocccp: no message" "" "$err"
check_eq "directives.c -nocccp: figures" "$(figures_written directives.c)" "$(figures builtin.sta)"

# #embed where it is not read: by full_prepro for a compiler that has none
# (gcc 12), whose own error then fails the build, also in dynamic mode;
# by the built-in preprocessor, which does not read files for it, as an
# error which stops the file.
printf 'static const char data[] = {\n#embed "directives.c"\n};\nint f(void) { return data[0]; }\n' >refused.c
run "$QORD" -batch -dial GNU -cc=gcc -std=gnu2x -c refused.c
check_contains "#embed: full_prepro says so" "$err" "refused.c(2): Error: #embed is not supported"
rm -f refused.o
QOR_INSTRUMENT_TCL= run "$QORD" -batch -inst -dial GNU -cc=gcc -std=gnu2x -c refused.c
check_contains "#embed -inst: the compiler's error" "$err" "invalid preprocessing directive #embed"
check_eq "#embed -inst: no object" "no" "$([ -e refused.o ] && echo yes || echo no)"
run "$QORD" -batch -nocccp -dial GNU -cc=gcc -std=gnu2x -c refused.c
check_contains "#embed: the built-in preprocessor says so" "$err" "refused.c(2): Error:  #embed is not supported"
check_count "#embed: one error" "$err" "Error" 1
check_rc "#embed: the built-in preprocessor" 1

# A file that #embed cannot read is full_prepro's error: qor_cc warns and
# analyses the text around it.
if command -v clang-19 >/dev/null; then
    mkdir -p folder
    printf 'int a[] = {\n#embed "absent.bin"\n#embed "folder"\n};\nint f(void) { return a[0]; }\n' >unread.c
    run "$QORD" -batch -dial GNU -cc=clang-19 -std=gnu23 -c unread.c
    check_contains "#embed: a missing file" "$err" "unread.c(2): Error: 'absent.bin' file not found"
    check_contains "#embed: a directory" "$err" "unread.c(3): Error: 'folder' file not found"
    check_contains "#embed: the preprocessing-time warning" "$err" "Warning(s) or error(s) found at preprocessing time"
    check_eq "#embed: the text around it is analysed" "f: statements 1, decisions 0" "$(figures unread.sta)"
fi

finish
