#!/bin/bash
# Installs the build into a staging prefix and checks what a user gets there: the files, the
# shared library's names, the versions everywhere, manual pages that render, and programs built
# against it (as C through pkg-config, as C++ through find_package(quillon)) that write the same
# bytes as the installed quillon, through the export and through the engine's C calls; with
# the Python module built, that the interpreter imports the installed module from the folder it
# was put in, and that it finds the same.
#   install_test.sh BUILD_DIR WORK_DIR VERSION LIBRARY_VERSION [PYTHON PYTHON_DIR EXTENSION_SUFFIX]
set -euo pipefail
# shellcheck source=SCRIPTDIR/common.sh
source "$(dirname "$0")/common.sh"
build=$(cd "$1" && pwd) work=$2 version=$3 library_version=$4
python=${5:-} python_dir=${6:-} suffix=${7:-}
stage=$work/stage
rm -rf "$work" && mkdir -p "$work"

cmake --install "$build" --prefix "$stage" >/dev/null
diff -u <({
  expected_files "$library_version" "$build"
  [[ -z $python ]] || expected_python_files "$python_dir" "$suffix"
} | sort) <(cd "$stage" && find . ! -type d | sed 's|^\./||' | sort) ||
  fail "the installed files differ from the list"
if [[ -n $python ]]; then
  check_module "$python" "$stage/$python_dir" "$version" "$stage/bin/quillon" \
    PYTHONPATH="$stage/$python_dir" PYTHONDONTWRITEBYTECODE=1
fi
soname=$(readelf -d "$stage/lib/libquillon.so" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
[[ $soname == "libquillon.so.${library_version%%.*}" ]] || fail "SONAME is '$soname'"
[[ $("$stage/bin/quillon" --version) == "quillon $version" ]] || fail "quillon --version"

# The manual page renders without a warning and names every option of --help.
manual=$stage/share/man/man1/quillon.1.gz
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" >"$work/manual.txt" 2>"$work/manual.err"
[[ ! -s $work/manual.err ]] || fail "man -l warns: $(cat "$work/manual.err")"
for option in $("$stage/bin/quillon" --help | grep -oE -- '^  -[a-zA-Z-]+(, --[a-z]+)?' | tr -d ','); do
  grep -qe "$option" "$work/manual.txt" || fail "the manual page lacks $option"
done
# Every call of the engine's header has its name in section 3, and the page renders cleanly.
for call in $(grep -oE '\bquillon_[a-z_]+\(' "$stage/include/quillon_engine.h" | tr -d '('); do
  manual3=$stage/share/man/man3/$call.3.gz
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manual3" >"$work/$call.txt" 2>"$work/$call.err" ||
    fail "man -l $manual3"
  [[ ! -s $work/$call.err ]] || fail "man -l $manual3 warns: $(cat "$work/$call.err")"
  grep -q "$call" "$work/$call.txt" || fail "$manual3 does not name $call"
done

export PKG_CONFIG_PATH=$stage/lib/pkgconfig
[[ $(pkg-config --modversion quillon) == "$library_version" ]] || fail "quillon.pc has another version"
[[ $(pkg-config --variable=prefix quillon) == "$stage" ]] || fail "quillon.pc names another prefix"
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -pedantic "$root/tests/packaging/consumer/consumer.c" \
  $(pkg-config --cflags --libs quillon) -o "$work/consumer_c"
cmake -S "$root/tests/packaging/consumer" -B "$work/consumer_cxx" -G Ninja \
  -DCMAKE_PREFIX_PATH="$stage" >/dev/null
cmake --build "$work/consumer_cxx" >/dev/null

cd "$work"
page=$root/examples/sample.htm
"$stage/bin/quillon" "$page" tool.txt yahoo 2>tool.err
LD_LIBRARY_PATH=$stage/lib ./consumer_c "$page" c.txt yahoo >c.records 2>c.err ||
  fail "the C consumer: $(cat c.err)"
./consumer_cxx/consumer "$page" cxx.txt yahoo >cxx.records 2>cxx.err || fail "the C++ consumer: $(cat cxx.err)"
[[ -s tool.txt ]] || fail "quillon wrote nothing"
for consumer in c cxx; do
  cmp tool.txt $consumer.txt || fail "the $consumer consumer's output differs from quillon's"
  cmp tool.err $consumer.err || fail "the $consumer consumer's messages differ from quillon's"
  cmp tool.txt $consumer.records || fail "the $consumer consumer's engine records differ"
done
echo "installed files, SONAME $soname, manual pages, pkg-config and find_package consumers${python:+, Python module}: OK"
