#!/bin/bash
# Builds the Windows zip from the given build's CPack file (as `cpack --preset windows-zip` does
# for build/windows), unpacks it, checks its files, compiles its header as C and C++ with every
# warning, and builds tests/windows/c_caller.c from the zip's header and import library alone
# into the zip's bin folder, beside its QUILLON.dll, for the Wine run.
#   windows_zip_test.sh BUILD_DIR WORK_DIR VERSION C_COMPILER
set -euo pipefail
# shellcheck source=SCRIPTDIR/common.sh
source "$(dirname "$0")/common.sh"
build=$(cd "$1" && pwd) work=$2 version=$3 cc=$4
top=$work/quillon-$version-win32
rm -rf "$work" && mkdir -p "$work"

zip=$build/quillon-$version-win32.zip
rm -f "$zip"
(cd "$build" && cpack --config CPackConfig.cmake >"$work/cpack.log" 2>&1) ||
  fail "cpack: $(cat "$work/cpack.log")"
(cd "$work" && cmake -E tar xf "$zip")
diff -u - <(cd "$top" && find . -type f | sed 's|^\./||' | sort) <<'FILES' || fail "the zip's files"
LICENSE.txt
README-Windows.txt
bin/MARLIP.EXE
bin/QUILLON.dll
include/quillon.h
lib/QUILLON.def
lib/libQUILLON.dll.a
FILES

strict=(-Wall -Wextra -Werror -pedantic -I "$top/include")
for language in c c++; do
  echo '#include <quillon.h>' | "$cc" -x $language -fsyntax-only "${strict[@]}" - ||
    fail "quillon.h does not compile as $language"
done
# The caller compares captions with its own texts, which must be code page 932 like the boxes.
"$cc" "${strict[@]}" -fexec-charset=CP932 "$root/tests/windows/c_caller.c" \
  "$top/lib/libQUILLON.dll.a" -o "$top/bin/c_caller.exe"
echo "$(basename "$zip"): files, header, C caller built OK"
