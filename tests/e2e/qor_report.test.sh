# qor_report on real inputs: the bundled example and the condition-coverage
# corpus built with -inst -cond by the full installation, run several
# times, then the metrics and coverage reports, their exports, bad input,
# and the HTML pages in a headless browser (skipped without chromium).
source "${QOR_E2E_LIB:?}" || exit 1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
examples="$here/../../examples"
REPORT="$QOR_FULL_STAGE/bin/qor_report"
unset QOR_COVERAGE_FILE

# ---- The example, built with condition coverage, run under two labels --------

fresh; example=$PWD
cp "$examples/thermostat/"*.[ch] "$examples/thermostat/Makefile" .
make -s CC="$QOR_FULL_STAGE/bin/qor_cc -batch -inst -cond -dial GNU -cc=gcc" >build.log 2>&1
check_eq "example built" 0 "$?"
QOR_COVERAGE_LABEL=heating ./thermostat 18.2 20.5 >/dev/null
QOR_COVERAGE_LABEL=readings ./thermostat 23 oops -5.x >/dev/null 2>&1
labelled=(qor_coverage.heating.dat qor_coverage.readings.dat)
check_eq "two runs, three units each" "6 6" "$(coverage_text "${labelled[@]}" | grep -c '^END$') $(unit_runs "${labelled[@]}")"

# ---- Metrics -------------------------------------------------------------------

# The system headers' functions (the C library's inline ones at -O2) are
# left out: they are not the project's, and their number is the host's.
run "$REPORT" metrics --exclude '/usr/*' control.mtr sensor.mtr
check_rc "metrics" 0
check_starts "metrics: header" "$out" "file       name            line  STMT  VG  LEVL"
check_contains "metrics: a row" "$out" $'\ncontrol.c  control_decide     4     5   3     3     3  12'
check_contains "metrics: closing line" "$out" "3 component(s) in 2 file(s),"
check_contains "metrics: violation as a compiler warning" "$err" \
    "control.c:4: warning: control_decide: return statements is 3, above 1 [returns]"

run "$REPORT" metrics --exclude '/usr/*' --sort VG --threshold comment_density=off --threshold returns=off \
    --threshold vg=3 --fail-on-violation --sarif v.sarif --html m.html .
check_rc "metrics: --fail-on-violation" 3
check_eq "metrics: the violations" \
    "control.c:13: warning: control_name: cyclomatic number v(G) is 4, above 3 [vg]
sensor.c:5: warning: sensor_parse: cyclomatic number v(G) is 4, above 3 [vg]
" "$err"
check_eq "metrics: sorted by v(G), largest first, then by file" "control_name sensor_parse control_decide" \
    "$(sed -n 2,4p <<<"$out" | awk '{ printf "%s%s", (NR > 1 ? " " : ""), $2 }')"
check_contains "metrics: SARIF" "$(cat v.sarif)" '"ruleId": "vg",'
check_file "metrics: HTML" m.html

run "$REPORT" metrics --csv --sort name control.mtr
check_eq "metrics: CSV" "file,name,line,STMT,CALL_PATHS,CALL,VG" "$(head -1 <<<"$out" | cut -d, -f1-7)"
check_eq "metrics: CSV rows" "control.c,control_decide,4,5,0,0,3" "$(sed -n 2p <<<"$out" | cut -d, -f1-7)"
run "$REPORT" metrics --json main.mtr
check_contains "metrics: JSON" "$out" $'"name": "main",\n      "line": 5,'

printf 'vg = 2\n# the rest as they are\nstatements<=4 # at most four\nbogus=1\n' >limits.txt
run "$REPORT" metrics --thresholds limits.txt control.mtr
check_rc "threshold file with an error" 1
check_contains "threshold file: the bad line" "$err" "limits.txt(4): Error:  no metric or threshold named 'bogus'"

# ---- Coverage of the example ------------------------------------------------------

run "$REPORT" coverage control.sta main.sta sensor.sta "${labelled[@]}"
check_rc "coverage" 0
# A run per label, each with a section for each of the three units.
check_contains "coverage: runs" "$out" "Runs: 2
  run 1: qor_coverage.heating.dat, label heating, 1 run(s) added up, 3 unit(s)
  run 2: qor_coverage.readings.dat, label readings, 1 run(s) added up, 3 unit(s)"
check_contains "coverage: a switch" "$out" "  function control_name (line 13): entered 3, exited 3 (runs 1-2)
    decision line 16   Case         branch 2   action == HEAT                 taken 1 (runs 1)
             line 18   Case         branch 3   action ==  COOL                taken 1 (runs 2)
             line 20   Else-Case    branch 4   action ==  default             taken 1 (runs 1)"
check_contains "coverage: conditions" "$out" "    conditions of line 15, branch 5: (digit<0 || digit>9)
      c1 digit<0
      c2 digit>9
      vector 01 -> true  1 time(s) (runs 2)
      vector 00 -> false 2 time(s) (runs 1)
      c1 unique-cause: not shown (never true); masking: not shown (never true)
      c2 unique-cause: shown by 01=T / 00=F; masking: shown by 01=T / 00=F"
check_contains "coverage: totals" "$out" \
    "total sensor.c: functions 1/1 (100.0%), branches 6/6 (100.0%), MC/DC unique-cause 1/2 (50.0%), masking 1/2 (50.0%)"

run "$REPORT" coverage --fail-under-decision 100 --fail-under-mcdc 70 --lcov t.info --cobertura c.xml --html c.html .
check_rc "coverage: below the MC/DC limit" 3
check_eq "coverage: the limit's message" "qor_report: masking MC/DC coverage 50.0% is below 70%
" "$err"
check_contains "LCOV: branches" "$(cat t.info)" $'SF:sensor.c\nFN:5,sensor_parse\nFNDA:5,sensor_parse'
check_contains "LCOV: MC/DC" "$(cat t.info)" $'MCDC:15,2,t,0,0,digit<0\nMCDC:15,2,f,0,0,digit<0\nMCDC:15,2,t,1,1,digit>9'
check_contains "Cobertura" "$(cat c.xml)" '<class name="control.c" filename="control.c" line-rate="1.0000" branch-rate="1.0000"'
run "$REPORT" coverage --exclude '/usr/*' .
check_contains "coverage: system headers left out" "$out" "total: functions 4/4 (100.0%), branches 17/17 (100.0%)"
run "$REPORT" metrics --exclude '/usr/*' --exclude 'main*' .
check_contains "metrics: system headers and main.c left out" "$out" "3 component(s) in 2 file(s)"
run "$REPORT" coverage --json -o c.json .
check_contains "coverage: JSON" "$(cat c.json)" '"masking_shown": 1'

# Each input once: the data file through its directory, by name and
# through a link is read once; a copy of it adds no count. Both are said.
run "$REPORT" coverage --exclude '/usr/*' .
once=$(printf "%s" "$out")
ln -s qor_coverage.heating.dat via_link.dat
mkdir copies && cp qor_coverage.heating.dat copies/copy.dat
run "$REPORT" coverage --exclude '/usr/*' . ./qor_coverage.heating.dat copies
check_eq "inputs seen twice: the same counts" "$(sed '/^Note: /d' <<<"$out")" "$once"
check_contains "inputs seen twice: notes" "$out" "Note: ./via_link.dat is the same file as ./qor_coverage.heating.dat; read once
Note: ./qor_coverage.heating.dat is the same file as ./qor_coverage.heating.dat; read once
Note: copies/copy.dat (the section at byte 0): the same record as ./qor_coverage.heating.dat (the section at byte 0); counted once"
rm -r via_link.dat copies

# ---- A header function measured in every unit ----------------------------------

# Three units include a header's static inline function: one row, with the
# number of units; one unit compiles it differently, which a note says.
fresh
printf 'static inline int twice(int x)\n{\n#ifdef CHECKED\n    if (x > 1000) return 0;\n#endif\n    return 2 * x;\n}\n' >h.h
for unit in a b c; do printf '#include "h.h"\nint %s(int v) { return twice(v); }\n' "$unit" >"$unit.c"; done
qor_cc() { "$QOR_FULL_STAGE/bin/qor_cc" -batch -dial GNU -cc=gcc "$@" >/dev/null 2>&1; }
qor_cc -c a.c b.c && qor_cc -DCHECKED -c c.c
run "$REPORT" metrics --json a.mtr b.mtr c.mtr
check_contains "header function: one row, three units" "$out" $'"name": "twice",\n      "line": 1,\n      "units": 3,\n      "measured_differently": true,'
run "$REPORT" metrics a.mtr b.mtr c.mtr
check_contains "header function: counted once" "$out" "4 component(s) in 4 file(s)"
check_contains "header function: the notes" "$out" "Note: 1 component(s) measured in several units are listed once
Note: h.h:1: twice: the 3 units measured it differently; the first unit's values are shown"

# ---- The vectors of the condition-coverage corpus -------------------------------

fresh
cp "$here/condition_coverage/vectors.c" .
"$QOR_FULL_STAGE/bin/qor_cc" -batch -inst -cond -dial GNU -cc=gcc -c vectors.c >/dev/null 2>&1
gcc -o inst vectors.o && ./inst >/dev/null
run "$REPORT" coverage vectors.sta qor_coverage.dat
check_rc "vectors" 0
# Decision 3, a && (b || c), evaluated with every vector: each condition is
# shown under both criteria, b by 11- and 100 (c, not evaluated in 11-,
# does not count).
check_contains "a && (b || c)" "$out" "$(cat "$here/condition_coverage/vectors_decision_3.expected")"

# ---- Bad input ----------------------------------------------------------------------

fresh
printf 'not an archive\n' >bad.sta
printf 'QVX 1 7\nH /x/a.inst.h\nD d\nF 1 1 1 f\nB 0' >cut.dat
run "$REPORT" coverage bad.sta cut.dat missing.sta
check_rc "bad input" 1
check_contains "bad archive" "$err" "bad.sta(1): Error:  not an archive"
check_contains "record without END" "$err" "cut.dat(1): Warning:  record without END left out"
check_contains "missing file" "$err" "missing.sta: Error:  no such file or directory"
run "$REPORT" metrics
check_rc "no input" 1
run "$REPORT" coverage --sort VG x.sta
check_contains "option of the other report" "$err" "option --sort does not belong to the coverage report"
run "$REPORT" --help
check_starts "usage" "$out" "Usage: qor_report metrics"

# ---- The pages in a headless browser -------------------------------------------------

# browse PAGE SCRIPT: loads a copy of PAGE into which SCRIPT is added after
# the page's own; errors of the page's scripts are collected from the
# start and their count put into the title. $out is the DOM after SCRIPT.
browse() {
    local copy="${1%.html}.test.html"
    sed -e 's|<head>|<head><script>window.qorErrors=[];window.addEventListener("error",function(e){qorErrors.push(e.message)});</script>|' \
        -e "s|</body>|<script>$2;document.title+=' errors='+qorErrors.length;</script></body>|" "$1" >"$copy"
    run timeout 120 "$CHROMIUM" "${BROWSER_FLAGS[@]}" --dump-dom "file://$PWD/$copy"
}

CHROMIUM=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$CHROMIUM" ]; then
    echo "SKIP: no chromium; the HTML pages are not loaded in a browser"
else
    cd "$example"
    BROWSER_FLAGS=(--headless --no-sandbox --disable-gpu --user-data-dir="$scratch/.chromium" --enable-logging=stderr)
    sensor_page=$(ls c_files/*-sensor.c.html)
    for page in c.html m.html "$sensor_page"; do
        check_lacks "$page: nothing from the network" "$(grep -Eo '(src|href)="[^"]*"' "$page")" "://"
        check_lacks "$page: no absolute path" "$(grep -Eo '(src|href)="/[^"]*"' "$page")" "/"
        run timeout 120 "$CHROMIUM" "${BROWSER_FLAGS[@]}" --screenshot="$PWD/${page%.html}.png" --window-size=1200,900 "file://$PWD/$page"
        check_eq "$page: screenshot" "PNG" "$(head -c 4 "${page%.html}.png" | tail -c 3)"
        check_lacks "$page: no console error" "$err" "Uncaught"
    done
    # The index links the page of sensor.c, which links back; a click on a
    # decision there opens its details.
    check_contains "coverage index: the file's page" "$(cat c.html)" "<a href=\"$sensor_page\">sensor.c</a>"
    check_contains "file page: back to the index" "$(cat "$sensor_page")" '<a href="../c.html">All files</a>'
    browse "$sensor_page" "var b=document.querySelector('button.decision');b.click();document.title='opened='+!document.getElementById(b.dataset.target).hidden"
    check_contains "coverage page: a decision opens" "$out" "<title>opened=true errors=0</title>"
    check_contains "coverage page: its truth table" "$out" "<td>1</td><td><code>01</code></td><td>F</td><td>T</td><td>true</td><td>1</td><td>2</td><td>c2</td><td>c2</td>"
    # A click on the header of v(G) sorts the components, largest first.
    browse m.html "document.querySelectorAll('#metrics th')[4].click();document.title=document.querySelector('#metrics tbody tr td:nth-child(2)').textContent"
    check_contains "metrics page: sorted by a click" "$out" "<title>control_name errors=0</title>"
fi

finish
