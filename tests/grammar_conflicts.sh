#!/usr/bin/env bash
# The grammar's conflicts are all resolved by the parser generator's
# defaults as the grammar file explains; their number must not change
# unnoticed.
set -u
bison=$1 grammar=$2
report=$("$bison" -o /dev/null "$grammar" 2>&1)
expected_sr=977 expected_rr=1050
grep -q "$expected_sr shift/reduce conflicts" <<<"$report" &&
    grep -q "$expected_rr reduce/reduce conflicts" <<<"$report" && exit 0
echo "expected $expected_sr shift/reduce and $expected_rr reduce/reduce conflicts, got:"
echo "$report"
exit 1
