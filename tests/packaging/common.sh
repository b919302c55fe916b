# shellcheck shell=bash
# Shared by the packaging tests: fail, the file lists an installation must hold, and the check
# of an installed Python module.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# The installed files and links of the package quillon, relative to the prefix, for library
# version $1 (a.b.c) built in folder $2, whose build type names the CMake targets file.
expected_files() {
  local config
  config=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$2/CMakeCache.txt" | tr '[:upper:]' '[:lower:]')
  sed -e "s/@VERSION@/$1/" -e "s/@SOVERSION@/${1%%.*}/" -e "s/@CONFIG@/${config:-noconfig}/" \
    "$root/tests/packaging/installed_files.txt"
}
# The files of the Python module, relative to the prefix: package folder $1, extension suffix $2.
expected_python_files() {
  sed -e "s|@PYDIR@|$1|" -e "s|@EXT@|$2|" "$root/tests/packaging/installed_python_files.txt"
}
# Interpreter $1 imports the module quillon from folder $2 (and no other copy), of version $3,
# and it finds on the sample page what quillon tool $4 writes. Further arguments, VAR=value, go
# to the interpreter's environment.
check_module() {
  local python=$1 folder=$2 version=$3 tool=$4 page=$root/examples/sample.htm expected found
  shift 4
  expected="$(realpath "$folder/quillon") $version"$'\n'"$("$tool" -q "$page" - yahoo | tr -d '\r')"
  found=$(env "$@" "$python" -c 'import os, sys, quillon
print(os.path.dirname(os.path.realpath(quillon.__file__)), quillon.__version__)
print(b"\n".join(quillon.links_of_file(sys.argv[1], ["yahoo"])).decode())' "$page") ||
    fail "the module at $folder does not run"
  [[ $found == "$expected" ]] || fail "the module at $folder gives: $found; expected: $expected"
}
