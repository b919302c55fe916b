#!/bin/bash
# The module as pip users get it, offline, from a copy of the tree as a clone holds it: the
# wheel's files and licence, and the module that the wheel and the tree install into a virtual
# environment, imported from there, finding what the tool finds.
#   pip_test.sh WORK_DIR VERSION PYTHON TOOL EXTENSION_SUFFIX
set -euo pipefail
# shellcheck source=SCRIPTDIR/common.sh
source "$(dirname "$0")/common.sh"
work=$1 version=$2 python=$3 tool=$4 suffix=$5
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
info=quillon-$version.dist-info
diff -u <(printf '%s\n' $info/{LICENSE,METADATA,RECORD,WHEEL,top_level.txt} \
  quillon/{__init__.py,__init__.pyi,_hyperlinks.py,py.typed,"_quillon$suffix"} | sort) \
  <(unzip -Z1 "${wheel[0]}" | sort) || fail "the wheel's files"
unzip -p "${wheel[0]}" "$info/METADATA" | grep -qx 'License: MIT' || fail "the wheel's licence"

# Each way into a virtual environment of its own that sees the system's packages (setuptools,
# pybind11), with no index to reach. The tree's build folder from the wheel is reused.
for what in "${wheel[0]}" "$work/tree"; do
  venv=$work/venv-$(basename "$what")
  "$python" -m venv --system-site-packages "$venv"
  (cd "$work" && "$venv/bin/python" -m pip install --no-index --no-build-isolation "$what" \
    >"$venv.log" 2>&1) || fail "pip install $what: $(tail -n 30 "$venv.log")"
  site=$("$venv/bin/python" -c 'import sysconfig; print(sysconfig.get_path("platlib"))')
  (cd "$work" && check_module "$venv/bin/python" "$site" "$version" "$tool")
done
echo "wheel $(basename "${wheel[0]}") (version, MIT licence), pip install of the wheel and of the tree: OK"
