#!/bin/bash
# The Python module as pip users get it, offline, from a copy of the source tree as a clone
# holds it: python3 -m build --no-isolation --wheel makes a wheel with the version and the MIT
# licence in its metadata, and both that wheel and pip install --no-build-isolation . install
# a module that the interpreter of a virtual environment imports from there, and that finds
# what the tool finds.
#   pip_test.sh WORK_DIR VERSION PYTHON TOOL
set -euo pipefail
# shellcheck source=SCRIPTDIR/common.sh
source "$(dirname "$0")/common.sh"
work=$1 version=$2 python=$3 tool=$4
rm -rf "$work" && mkdir -p "$work/tree"

# What a clone of the working tree would hold, uncommitted changes included.
if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
  (cd "$root" && git ls-files -z --cached --others --exclude-standard |
    tar -cf - --null --no-recursion --ignore-failed-read -T - 2>/dev/null) | tar -xf - -C "$work/tree"
else
  (cd "$root" && tar -cf - --exclude=./build .) | tar -xf - -C "$work/tree"
fi

(cd "$work/tree" && "$python" -m build --no-isolation --wheel --outdir "$work/dist" \
  >"$work/build.log" 2>&1) || fail "python3 -m build: $(tail -n 30 "$work/build.log")"
wheel=("$work"/dist/quillon-"$version"-*.whl)
[[ -f ${wheel[0]} ]] || fail "no wheel of version $version in $work/dist"
"$python" - "${wheel[0]}" "$version" <<'PYTHON' || fail "the wheel's contents"
import sys, zipfile
wheel, version = sys.argv[1:]
names = set(zipfile.ZipFile(wheel).namelist())
info = f"quillon-{version}.dist-info"
for name in ["quillon/__init__.py", "quillon/__init__.pyi", "quillon/py.typed",
             f"{info}/LICENSE", f"{info}/METADATA"]:
    if name not in names:
        sys.exit(f"{name} missing from {sorted(names)}")
if not any(n.startswith("quillon/_quillon.") and n.endswith(".so") for n in names):
    sys.exit(f"no extension in {sorted(names)}")
metadata = zipfile.ZipFile(wheel).read(f"{info}/METADATA").decode()
for line in ["License: MIT", f"Version: {version}"]:
    if line not in metadata.splitlines():
        sys.exit(f"METADATA lacks {line!r}")
PYTHON

# Each way into a virtual environment of its own that sees the system's packages (setuptools,
# pybind11), with no index to reach. The tree's build folder from the wheel is reused.
for way in wheel tree; do
  venv=$work/venv-$way
  "$python" -m venv --system-site-packages "$venv"
  if [[ $way == wheel ]]; then
    what=${wheel[0]}
  else
    what=$work/tree
  fi
  (cd "$work" && "$venv/bin/python" -m pip install --no-index --no-build-isolation "$what" \
    >"$work/pip-$way.log" 2>&1) || fail "pip install $what: $(tail -n 30 "$work/pip-$way.log")"
  site=$("$venv/bin/python" -c 'import sysconfig; print(sysconfig.get_path("platlib"))')
  (cd "$work" && check_module "$venv/bin/python" "$site" "$version" "$tool")
done
echo "wheel $(basename "${wheel[0]}") (version, MIT licence), pip install of the wheel and of the tree: OK"
