# Source names holding blanks, quotes and shell syntax are plain names: they
# are analysed and compiled as they are, and nothing ever runs them through
# a shell.
source "${QOR_E2E_LIB:?}" || exit 1

names=('a b.c' 'q"x.c' '$(touch PWNED1).c' 's;touch PWNED2.c' '`touch PWNED3`.c')
for name in "${names[@]}"; do
    fresh; mk_c "$name"
    run "$QOR" -nocccp -batch -dial GNU -cc=gcc -c "$name"
    check_rc "gcc on '$name'" 0
    check_eq "gcc on '$name': stderr" "" "$err"
    check_file "gcc on '$name': object" "${name%.c}.o"

    fresh; mk_c "$name"
    run "$QOR" -nocccp -batch -cc="$FAKE" -c "$name"
    check_args "'$name' is one argument" "$name" -c
done
check_eq "no command ran from a file name" "" "$(find "$scratch" -name 'PWNED*')"

finish
