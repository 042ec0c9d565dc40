# What a run tells on the console: dialect warnings, the options file
# search and announcement, the banner and the progress lines.
source "${QOR_E2E_LIB:?}" || exit 1

# An unknown dialect falls back to ANSI; warnings alone keep status 0.
fresh; mk_c a.c
run "$QOR" -nocccp -batch -dial foo a.c
check_eq "unknown dialect: stderr" " unknown dialect foo : Warning:  Ansi is assumed
warning : Unable to locate ANSI.def file
qor_cc: 1 warning(s).
" "$err"
check_rc "unknown dialect" 0

# The options file is named after the dialect in upper case.
run "$QOR" -nocccp -batch -dial ansi a.c
check_eq "-dial ansi looks for ANSI.def" $'warning : Unable to locate ANSI.def file\n' "$err"
check_rc "-dial ansi" 0
run "$QOR" -nocccp -batch a.c
check_eq "default dialect looks for MSC70.def" $'warning : Unable to locate MSC70.def file\n' "$err"

# Found in the current directory, announced once per process and recorded
# as an input of every analysed file.
fresh; mk_c a.c b.c; mkdir cache; echo 'D FROM_DEF 1' >GNU.def
run "$QOR" -nocccp -batch -dial GNU a.c b.c
check_eq "GNU.def announced once" "Analyzing: a.c...
qor_cc : using default options file : GNU.def
Analyzing: b.c...
" "$out"
check_eq "GNU.def found: stderr" "" "$err"
check_rc "GNU.def found" 0
check_contains "options file in a's record" "$(cat cache/a.qor_cc)" $'\nincr::DepInput {GNU.def}\n'
check_contains "options file in b's record" "$(cat cache/b.qor_cc)" $'\nincr::DepInput {GNU.def}\n'

# QOR_CC_DEF wins over the dialect's own file, whatever the dialect.
echo 'D OTHER 1' >other.def
QOR_CC_DEF="$PWD/other.def" run "$QOR" -nocccp -batch -dial GNU a.c
check_eq "QOR_CC_DEF over GNU.def" "Analyzing: a.c...
qor_cc : using default options file : $PWD/other.def
" "$out"
check_contains "QOR_CC_DEF in the record" "$(cat cache/a.qor_cc)" "incr::DepInput {$PWD/other.def}"

# Banner and progress lines.
BANNER=$'\nBrisandor Qorvane C StaticAnalyzer 6.5.0.0 (qor_cc)\n'
fresh; mk_c a.c b.c
run "$QOR" -nocccp -cc="$FAKE" a.c
check_starts "banner without -batch" "$out" "$BANNER"
check_lacks "one source: no progress line" "$out" "Analyzing"
check_lacks "one source: no file heading" "$out" "a.c"
check_rc "banner run" 0

run "$QOR" -nocccp -batch a.c
check_eq "-batch: progress line, no banner" $'Analyzing: a.c...\n' "$out"

run "$QOR" -nocccp a.c b.c
check_starts "two sources: banner first" "$out" "$BANNER"
check_contains "two sources: file headings" "$out" $'\nQorvane analyzing:\na.c: \nb.c: \n'
check_lacks "two sources: no batch progress" "$out" "Analyzing:"

run "$QOR" -nocccp -inst a.c
check_starts "dynamic banner" "$out" $'\nBrisandor Qorvane C DynamicAnalyzer 6.5.0.0 (qor_cc)\n'

# A list file's lines share the process: the static banner shows once.
printf 'a.c\nb.c\n' >list.txt
run "$QOR" -nocccp -l list.txt
check_count "list file: one banner" "$out" "StaticAnalyzer" 1
check_rc "list file banner run" 0

finish
