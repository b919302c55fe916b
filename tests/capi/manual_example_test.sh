#!/bin/sh
# The example of the engine's manual page, as a reader would copy it out: built against the
# library with every warning, it writes what the quillon tool finds, one record a line, and
# fails with a message when its output cannot be written.
#   manual_example_test.sh MANUAL INCLUDE_DIR LIBRARY TOOL PAGE WORK_DIR [C_FLAGS]
# C_FLAGS are the library's own build flags: a library built with the sanitizers needs their
# run-time linked into the program first.
set -eu
manual=$1 include=$2 library=$3 tool=$4 page=$5 work=$6 cflags=${7:-}
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "manual example: $*" >&2; exit 1; }

# The lines between .nf and .fi of EXAMPLES, with groff's escapes undone.
sed -n '/^\.SH EXAMPLES/,/^\.SH SEE/p' "$manual" | sed -n '/^\.nf$/,/^\.fi$/p' | sed '1d;$d' |
  sed -e "s/\\\\(aq/'/g" -e 's/\\e/\\/g' >example.c
grep -q quillon_engine_new example.c || fail "no example in $manual"
# shellcheck disable=SC2086 # the flags are words
cc $cflags -std=c11 -Wall -Wextra -Werror -pedantic -I "$include" example.c "$library" \
  -Wl,-rpath,"$(dirname "$library")" -o example

"$tool" -q "$page" - yahoo | tr -d '\r' >expected
[ -s expected ] || fail "the tool finds nothing in $page"
./example <"$page" >records 2>errors || fail "exit status $?: $(cat errors)"
cmp expected records || fail "its records differ from the tool's"
if ./example <"$page" >/dev/full 2>errors; then fail "exit status 0 with its output lost"; fi
grep -q "standard output" errors || fail "no message for its lost output: $(cat errors)"
