#!/bin/sh
# Writes the coverage run-time compiled once (coverage_runtime.s), which
# instrument.tcl gives the instrumented units of an x86-64 Linux target in
# place of the C text that each would compile again.
#
#   make_runtime_asm.sh COMPILER UTIL_DIR OUTPUT
#
# Elsewhere OUTPUT is empty and every unit compiles the C text. The code is
# position-independent with CET's branch marks, so that it serves a PIE, a
# shared library and a program built with or without -fcf-protection. It
# has no unwind tables (no exception or cancellation passes through it).
# Local labels take the run-time's prefix, which each unit makes its own;
# the file name and the notes that the unit's compiler writes itself go.
# The checks at the end: every symbol it defines has the prefix; it
# assembles, and calls nothing but the C library functions that the
# run-time declares.
set -eu

[ $# -eq 3 ] || { echo "usage: $0 COMPILER UTIL_DIR OUTPUT" >&2; exit 2; }
cc=$1 util=$2 output=$3
tmp="$output.tmp"
trap 'rm -f "$tmp" "$tmp.s" "$tmp.o"' EXIT

if ! "$cc" -dM -E -x c /dev/null </dev/null | grep -q '^#define __x86_64__ '; then
    : >"$output"
    exit 0
fi

"$cc" -x c -std=gnu99 -O1 -fPIC -fcf-protection=full -fno-asynchronous-unwind-tables -fno-unwind-tables \
    -fno-stack-protector -fno-ident -g0 -Wall -Wextra -Werror \
    '-DQVX_ENTRY_=__attribute__((weak, visibility("hidden")))' -DQVX_ONCE_= \
    -I "$util" -S "$util/coverage_runtime.c" -o "$tmp.s"

sed -e 's/\.L\([A-Za-z0-9_]*\)/.Lqvx_rt_\1/g' \
    -e '/^[[:space:]]*\.file[[:space:]]/d' \
    -e '/\.note\.GNU-stack/d' "$tmp.s" |
    awk '/\.note\.gnu\.property/ { skip = 1; next }
         /^[[:space:]]*\.(text|data|bss|section)/ { skip = 0 }
         !skip' >"$tmp"

unprefixed=$(grep -E '^[A-Za-z_.$][A-Za-z0-9_.$]*:' "$tmp" | grep -Ev '^(\.Lqvx_rt_|qvx_rt_)' || true)
[ -z "$unprefixed" ] || { echo "$0: symbols without the run-time's prefix: $unprefixed" >&2; exit 1; }
"$cc" -c -x assembler "$tmp" -o "$tmp.o"
allowed=$(sed -n 's/.*__asm__("\([A-Za-z_]*\)").*/\1/p' "$util/coverage_runtime.c" | tr '\n' ' ')
for name in $(nm -u "$tmp.o" | awk '{ print $2 }'); do
    case " $allowed memcpy memcmp _GLOBAL_OFFSET_TABLE_ " in
    *" $name "*) ;;
    *) echo "$0: the run-time calls $name, which it does not declare" >&2; exit 1 ;;
    esac
done
mv "$tmp" "$output"
