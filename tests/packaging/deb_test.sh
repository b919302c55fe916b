#!/bin/bash
# Builds the Debian package through its preset and checks it: the files of an installation
# under /usr, the version, dependencies computed from the binaries, the library's shlibs
# entry, and no error from lintian.
#   deb_test.sh BUILD_DIR WORK_DIR VERSION LIBRARY_VERSION
set -euo pipefail
# shellcheck source=SCRIPTDIR/common.sh
source "$(dirname "$0")/common.sh"
build=$(cd "$1" && pwd) work=$2 version=$3 library_version=$4
rm -rf "$work" && mkdir -p "$work"

deb=$build/quillon_$version-1_$(dpkg --print-architecture).deb
rm -f "$deb"
(cd "$root" && cpack --preset deb >"$work/cpack.log" 2>&1) || fail "cpack --preset deb: $(cat "$work/cpack.log")"
[[ -f $deb ]] || fail "no $deb"

diff -u <(expected_files "$library_version") \
  <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./usr/||' | sort) ||
  fail "the package's files differ from the list"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/pkgconfig/quillon.pc | grep -qx 'prefix=/usr' ||
  fail "quillon.pc in the package does not name the prefix /usr"
[[ $(dpkg-deb -f "$deb" Package Version | tr '\n' ' ') == "Package: quillon Version: $version-1 " ]] ||
  fail "package name or version"
dpkg-deb -f "$deb" Depends | grep -q 'libc6 (>=' || fail "dependencies: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -e "$deb" "$work/control"
grep -qx "libquillon ${library_version%%.*} quillon (= $version-1)" "$work/control/shlibs" ||
  fail "shlibs: $(cat "$work/control/shlibs")"

lintian --fail-on error "$deb" 2>/dev/null | tee "$work/lintian.txt" || fail "lintian reports errors"
echo "$(basename "$deb"): files, version, dependencies, shlibs OK; lintian: no errors"
