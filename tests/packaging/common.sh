# shellcheck shell=bash
# Shared by the packaging tests: fail, and the file list an installation must hold.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# The installed files and links, relative to the prefix, for library version $1 (a.b.c).
expected_files() {
  sed -e "s/@VERSION@/$1/" -e "s/@SOVERSION@/${1%%.*}/" "$root/tests/packaging/installed_files.txt"
}
