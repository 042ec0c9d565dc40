# Files written beside the results: the dependency records of the cache
# directory, and the removal of the results of files that failed.
source "${QOR_E2E_LIB:?}" || exit 1

fresh; mk_c a.c; mkdir cache
run "$QOR" -nocccp -batch -c a.c
check_content "record of a.c" cache/a.qor_cc "incr::DepCommandLine {$QOR} {-nocccp} {-batch} {-c} {a.c}
incr::DepMainInput {a.c}
incr::DepOutput {a.sta}
incr::DepOutput {a.mtr}
"
check_eq "record written silently" $'Analyzing: a.c...\n' "$out"

# The record is named after the result, here the -o name.
fresh; mk_c a.c; mkdir cache
run "$QOR" -nocccp -batch -dial GNU -cc=gcc -c a.c -o out.o
check_rc "record with -o out.o" 0
check_contains "record named after -o" "$(cat cache/out.qor_cc)" $'incr::DepMainInput {a.c}\n'
check_contains "record named after -o: outputs" "$(cat cache/out.qor_cc)" $'incr::DepOutput {out.sta}\nincr::DepOutput {out.mtr}'
check_no_file "no record under the source name" cache/a.qor_cc

# Outputs accumulate over a command line's files.
fresh; mk_c a.c b.c; mkdir -p out/cache
run "$QOR" -nocccp -batch a.c b.c -o out
check_content "record of b.c with -o dir" out/cache/b.qor_cc "incr::DepCommandLine {$QOR} {-nocccp} {-batch} {a.c} {b.c} {-o} {out}
incr::DepMainInput {b.c}
incr::DepOutput {out/a.sta}
incr::DepOutput {out/a.mtr}
incr::DepOutput {out/b.sta}
incr::DepOutput {out/b.mtr}
"
check_file "record of a.c with -o dir" out/cache/a.qor_cc

# A trailing separator on the directory gives no double slash.
fresh; mk_c a.c; mkdir -p out/cache
run "$QOR" -nocccp -batch -o out/ a.c
check_content "record with -o out/" out/cache/a.qor_cc "incr::DepCommandLine {$QOR} {-nocccp} {-batch} {-o} {out/} {a.c}
incr::DepMainInput {a.c}
incr::DepOutput {out/a.sta}
incr::DepOutput {out/a.mtr}
"

# Blanks stay inside the braces; -ign files are inputs; a failed file gets
# no record.
fresh; mk_c "a b.c"; mkdir cache
run "$QOR" -nocccp -batch -ign some.ign "a b.c" nofile.c
check_content "record of 'a b.c'" "cache/a b.qor_cc" "incr::DepCommandLine {$QOR} {-nocccp} {-batch} {-ign} {some.ign} {a b.c} {nofile.c}
incr::DepMainInput {a b.c}
incr::DepInput {some.ign}
incr::DepOutput {a b.sta}
incr::DepOutput {a b.mtr}
"
check_no_file "no record for a missing source" cache/nofile.qor_cc
check_rc "missing source" 1

fresh; mk_c a.c
run "$QOR" -nocccp -batch a.c
check_eq "no cache directory: nothing written" "" "$(find . -name '*.qor_cc')"
check_eq "no cache directory: nothing reported" $'warning : Unable to locate MSC70.def file\n' "$err"

# The results of a failed file are removed, unless QOR_CC_NO_DEL is set;
# -nomtr leaves .mtr files alone.
fresh; touch b.sta b.mtr
run "$QOR" -nocccp -batch b.c
check_no_file "failed file: .sta removed" b.sta
check_no_file "failed file: .mtr removed" b.mtr
touch b.sta b.mtr
run env QOR_CC_NO_DEL=1 "$QOR" -nocccp -batch b.c
check_file "QOR_CC_NO_DEL keeps .sta" b.sta
check_file "QOR_CC_NO_DEL keeps .mtr" b.mtr
run "$QOR" -nocccp -batch -nomtr b.c
check_no_file "-nomtr: .sta removed" b.sta
check_file "-nomtr: .mtr kept" b.mtr

# A result name that is the source itself is never removed.
copy_install failing
printf 'namespace eval qor_cc {}\nproc qor_cc::onFile {source} {error "hook failed"}\nproc qor_cc::doMetrics {} {}\n' \
    >"$scratch/failing/Scripts/qor_cc/qor_cc.tcl"
fresh; mk_c keep.sta; cp keep.sta keep.orig; touch keep.mtr
run "$scratch/failing/bin/qor_cc" -batch -extensions '*.sta' keep.sta
check_rc "failing hook" 1
check_contains "failing hook reported" "$err" "hook failed"
check_no_file "failing hook: .mtr removed" keep.mtr
check_eq "source named like its result survives" "$(cat keep.orig)" "$(cat keep.sta 2>&1)"

# Each file's comments are its own: the comments that end one file of a
# command line are not counted for the first function of the next.
fresh
printf 'int fa(int x) { return x + 1; }\n/* trailing comment\n   of a.c */\n' >a.c
printf 'int fb(int y)\n{\n    return y * 2;\n}\n' >b.c
run "$QOR" -nocccp -batch -c a.c b.c
run "$QOR_STAGE/bin/qor_report" metrics --csv b.mtr
check_eq "next file's comments" "b.c,fb,0,0,0,0,0,0" "$(echo "$out" | awk -F, 'NR == 1 { for (i = 1; i <= NF; i++) col[$i] = i }
    NR == 2 { print $1 "," $2 "," $col["BCOM"] "," $col["LCOM"] "," $col["CCOM"] "," $col["BCOB"] "," $col["LCOB"] "," $col["CCOB"] }')"

finish
