#!/bin/sh
# Writes the options file (<DIALECT>.def) of a dialect for this host.
#
#   make_def.sh COMPILER OUTPUT host
#       the GNU dialects: every macro that COMPILER predefines for C, and its
#       <...> include directories in its own order
#   make_def.sh COMPILER OUTPUT dialect [MACRO...]
#       any other dialect: the dialect's own macros (NAME or NAME=VALUE), the
#       host's machine and system macros, and the same include directories
#       with the C library's ahead of the compiler's private ones
#
# The non-GNU dialects thus see the C library's headers as a compiler other
# than GCC does (no __GNUC__, so the headers take their portable paths) and
# take from the compiler's directory only the headers that the C library
# leaves to the compiler (stddef.h, stdarg.h, float.h ...).
set -eu

usage() { echo "usage: $0 COMPILER OUTPUT host | $0 COMPILER OUTPUT dialect [MACRO...]" >&2; exit 2; }
[ $# -ge 3 ] || usage
cc=$1 output=$2 kind=$3
shift 3
case $kind in host | dialect) ;; *) usage ;; esac

tmp="$output.tmp"
trap 'rm -f "$tmp"' EXIT

# The macros of the host that describe the machine, the system and the data
# model rather than the compiler; the C library's headers choose by them.
machine='__linux__|__linux|__gnu_linux__|__unix__|__unix|__ELF__'
machine="$machine|__x86_64__|__x86_64|__amd64__|__amd64|__i386__|__i386|__aarch64__|__arm__|__riscv"
machine="$machine|__powerpc64__|__s390x__|__LP64__|_LP64|__ILP32__|_ILP32|__CHAR_BIT__|__CHAR_UNSIGNED__"
machine="$machine|__BYTE_ORDER__|__ORDER_LITTLE_ENDIAN__|__ORDER_BIG_ENDIAN__|__ORDER_PDP_ENDIAN__"
machine="$machine|__SIZEOF_(SHORT|INT|LONG|LONG_LONG|POINTER|FLOAT|DOUBLE|LONG_DOUBLE|SIZE_T|WCHAR_T|WINT_T|PTRDIFF_T)__"
machine="$machine|__(SIZE|PTRDIFF|WCHAR|WINT)_TYPE__"

# The compiler's predefined macros, as "NAME VALUE" or "NAME(PARAMS) VALUE",
# sorted so that the file does not change from one build to the next.
predefined() {
    "$cc" -dM -E -x c /dev/null </dev/null | sed -n 's/^#define //p' | LC_ALL=C sort
}

# The <...> search list of the compiler, one directory a line.
include_dirs() {
    "$cc" -x c -E -v /dev/null </dev/null 2>&1 >/dev/null |
        sed -n '/^#include <\.\.\.> search starts here:/,/^End of search list\./p' |
        sed -e '1d' -e '$d' -e 's/^ *//' -e 's/ *(framework directory)$//'
}

{
    printf '// Options file of the %s dialect, written at build time from %s.\n' \
        "$(basename "$output" .def)" "$cc"
    if [ "$kind" = host ]; then
        printf '// The compiler'\''s predefined macros.\n'
        predefined | sed 's/^/D /'
        printf '// Its include directories, searched in this order.\n'
        include_dirs | sed 's/^/I /'
    else
        printf '// The dialect'\''s own predefined macros.\n'
        for macro in "$@"; do
            case $macro in
            *=) printf 'D %s\n' "${macro%=}" ;;
            *=*) printf 'D %s %s\n' "${macro%%=*}" "${macro#*=}" ;;
            *) printf 'D %s\n' "$macro" ;;
            esac
        done
        printf '// The machine, the system and the data model of this host.\n'
        predefined | grep -E "^($machine) " | sed 's/^/D /'
        printf '// The include directories: the C library'\''s, then the compiler'\''s own.\n'
        private=$(dirname "$("$cc" -print-file-name=include)")/
        dirs=$(include_dirs)
        for own in no yes; do
            printf '%s\n' "$dirs" | while IFS= read -r dir; do
                case $dir in "$private"*) mine=yes ;; *) mine=no ;; esac
                if [ "$mine" = "$own" ]; then printf 'I %s\n' "$dir"; fi
            done
        done
    fi
} >"$tmp"

grep -q '^I ' "$tmp" || { echo "$0: no include directory found for $cc" >&2; exit 1; }
mv "$tmp" "$output"
trap - EXIT
