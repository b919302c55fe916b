#!/bin/bash
# Builds the Debian packages from the given build's CPack file (as `cpack --preset deb` does for
# build/native) and checks them: the files of an installation under /usr, the version,
# dependencies computed from the binaries, the library's shlibs entry, and no error from lintian;
# with the Python module built, python3-quillon as well, whose module the interpreter imports
# from Debian's folder and which finds what the tool finds.
#   deb_test.sh BUILD_DIR WORK_DIR VERSION LIBRARY_VERSION [PYTHON EXTENSION_SUFFIX]
set -euo pipefail
# shellcheck source=SCRIPTDIR/common.sh
source "$(dirname "$0")/common.sh"
build=$(cd "$1" && pwd) work=$2 version=$3 library_version=$4 python=${5:-} suffix=${6:-}
rm -rf "$work" && mkdir -p "$work"

arch=$(dpkg --print-architecture)
deb=$build/quillon_$version-1_$arch.deb
python_deb=$build/python3-quillon_$version-1_$arch.deb
rm -f "$deb" "$python_deb"
(cd "$build" && cpack --config CPackConfig.cmake >"$work/cpack.log" 2>&1) || fail "cpack: $(cat "$work/cpack.log")"
[[ -f $deb ]] || fail "no $deb"

files_of() { dpkg-deb --fsys-tarfile "$1" | tar -t | grep -v '/$' | sed 's|^\./usr/||' | sort; }
diff -u <(expected_files "$library_version" "$build" | sort) <(files_of "$deb") ||
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
checked="$(basename "$deb"): files, version, dependencies, shlibs OK; lintian: no errors"

if [[ -n $python ]]; then
  [[ -f $python_deb ]] || fail "no $python_deb"
  python_dir=lib/python3/dist-packages
  diff -u <(expected_python_files "$python_dir" "$suffix" | sort) <(files_of "$python_deb") ||
    fail "python3-quillon's files differ from the list"
  [[ $(dpkg-deb -f "$python_deb" Package Version | tr '\n' ' ') == "Package: python3-quillon Version: $version-1 " ]] ||
    fail "python3-quillon's name or version"
  depends=$(dpkg-deb -f "$python_deb" Depends)
  [[ $depends =~ ^python3\ \(\>=\ .*python3\ \(\<\<\ .*libc6\ \(\>=.*libstdc\+\+6\ \(\>= ]] ||
    fail "python3-quillon's dependencies: $depends"
  dpkg-deb -x "$python_deb" "$work/python3-quillon"
  check_module "$python" "$work/python3-quillon/usr/$python_dir" "$version" "$build/cli/quillon" \
    PYTHONPATH="$work/python3-quillon/usr/$python_dir" PYTHONDONTWRITEBYTECODE=1
  lintian --fail-on error "$python_deb" 2>/dev/null | tee "$work/lintian-python.txt" ||
    fail "lintian reports errors on python3-quillon"
  checked+="; $(basename "$python_deb"): files, version, dependencies, the module OK; lintian: no errors"
fi
echo "$checked"
