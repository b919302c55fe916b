# shellcheck shell=bash
# Shared by the packaging tests: fail, and the file list an installation must hold.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# The installed files and links, relative to the prefix, for project version $1 (a.b.c.d).
expected_files() {
  local version=${1%.*}
  sed -e "s/@VERSION@/$version/" -e "s/@SOVERSION@/${version%%.*}/" \
    "$root/tests/packaging/installed_files.txt"
}
