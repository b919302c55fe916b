# shellcheck shell=bash
# Shared by the packaging tests: fail, the file lists an installation must hold, and the check
# of an installed Python module.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# The installed files and links of the package quillon, relative to the prefix, for library
# version $1 (a.b.c).
expected_files() {
  sed -e "s/@VERSION@/$1/" -e "s/@SOVERSION@/${1%%.*}/" "$root/tests/packaging/installed_files.txt"
}
# The files of the Python module, relative to the prefix: package folder $1, extension suffix $2.
expected_python_files() {
  sed -e "s|@PYDIR@|$1|" -e "s|@EXT@|$2|" "$root/tests/packaging/installed_python_files.txt"
}
# Interpreter $1 imports the module quillon from folder $2 (and no other copy), of version $3,
# and it finds on the sample page what quillon tool $4 writes. Extra arguments go to the
# interpreter's environment (VAR=value).
check_module() {
  local python=$1 folder=$2 version=$3 tool=$4
  shift 4
  local page=$root/examples/sample.htm expected
  expected=$("$tool" -q "$page" - yahoo | tr -d '\r') || fail "$tool did not run"
  [[ -n $expected ]] || fail "$tool found nothing on the sample page"
  env "$@" "$python" - "$folder" "$version" "$page" "$expected" <<'PYTHON' || fail "the module at $folder"
import os, sys
folder, version, page, expected = sys.argv[1:]
import quillon
where = os.path.dirname(os.path.realpath(quillon.__file__))
if where != os.path.realpath(os.path.join(folder, "quillon")):
    sys.exit(f"imported {where}, not the one in {folder}")
if quillon.__version__ != version:
    sys.exit(f"version {quillon.__version__}, not {version}")
found = b"\n".join(quillon.links_of_file(page, exclude=["yahoo"])).decode()
if found != expected:
    sys.exit(f"found {found!r}, the tool {expected!r}")
PYTHON
}
