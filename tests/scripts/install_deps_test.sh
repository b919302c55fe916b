#!/bin/bash
# scripts/install-deps.sh against a stand-in apt and dpkg (on PATH): which packages it asks to
# install, whether it updates the indexes, how it gets over an index that fails to update, and
# the status and message of each outcome that scripts/test-all.sh tells apart.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/install-deps-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

mkdir "$work/bin"
# apt-get: each call goes to calls.txt. "update" fails while the counter update_failures is
# above zero; "install" fails where it names a package of uninstallable.txt.
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/bash
echo "$*" >>"$FAKE/calls.txt"
if [[ $* == *update* ]]; then
  left=$(cat "$FAKE/update_failures")
  ((left > 0)) || exit 0
  echo $((left - 1)) >"$FAKE/update_failures"
  echo "E: Failed to fetch http://mirror/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
  exit 100
fi
for package in "$@"; do
  grep -qx -- "$package" "$FAKE/uninstallable.txt" && { echo "E: unmet dependencies"; exit 100; }
done
exit 0
FAKE
# dpkg-query answers for the packages of installed.txt ("name architecture" a line).
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/bin/bash
while read -r name architecture; do
  for asked in "${@:3}"; do
    [[ $asked == "$name" || $asked == "$name:$architecture" ]] && echo "$name $architecture installed"
  done
done <"$FAKE/installed.txt" | sort -u
FAKE
cat >"$work/bin/dpkg" <<'FAKE'
#!/bin/bash
[[ $1 == --print-architecture ]] && echo amd64
[[ $1 == --print-foreign-architectures ]] && echo i386
exit 0
FAKE
printf '#!/bin/bash\necho %s\n' 0 >"$work/bin/id"
printf '#!/bin/bash\necho %s\n' ja_JP.utf8 >"$work/bin/locale"
printf '#!/bin/bash\n' >"$work/bin/sleep"
chmod +x "$work"/bin/*

packages_of() { sed -n "/^$1=(/,/)/p" "$root/scripts/install-deps.sh" | tr -d '()"' | sed "s/^$1=//; s/\${tool_packages\[@\]}//" | tr ' ' '\n' | grep .; }
linux=$(packages_of tool_packages; packages_of linux_packages)
windows=$(packages_of windows_packages)
# run_case UPDATE_FAILURES INSTALLED UNINSTALLABLE ARGUMENTS...: status, and output in out.txt.
run_case() {
  echo "$1" >"$work/update_failures"
  tr ' ' '\n' <<<"$2" | sed '/^$/d; s/:/ /; t; s/$/ amd64/' >"$work/installed.txt"
  tr ' ' '\n' <<<"$3" >"$work/uninstallable.txt"
  : >"$work/calls.txt"
  local status=0
  FAKE=$work PATH="$work/bin:$PATH" "$root/scripts/install-deps.sh" "${@:4}" >"$work/out.txt" 2>&1 || status=$?
  echo "$status"
}
expect() { grep -q -- "$1" "$work/$2" || fail "$3: no \"$1\" in $2: $(cat "$work/$2")"; }

# Everything there: no index is updated, even while updating fails.
[[ $(run_case 9 "$linux" "" --linux-only) == 0 ]] || fail "all installed: $(cat "$work/out.txt")"
[[ ! -s $work/calls.txt ]] || fail "all installed, yet apt-get ran: $(cat "$work/calls.txt")"

# A Linux package missing, the index failing for good: three tries, then apt-get install decides.
[[ $(run_case 9 "$(grep -vx wget <<<"$linux")" "" --linux-only) == 0 ]] ||
  fail "an index failing for good stopped the run: $(cat "$work/out.txt")"
[[ $(grep -c update "$work/calls.txt") == 3 ]] || fail "update tries: $(cat "$work/calls.txt")"
expect "install -y -q wget$" calls.txt "the missing package alone"
# Failing once only: one more try, and no more.
run_case 1 "$(grep -vx wget <<<"$linux")" "" --linux-only >/dev/null
[[ $(grep -c update "$work/calls.txt") == 2 ]] || fail "update tries after one failure: $(cat "$work/calls.txt")"

# A Linux package apt cannot install fails the run, named with the index that failed.
[[ $(run_case 9 "$(grep -vx -e wget -e cmake <<<"$linux")" "cmake" --linux-only) == 1 ]] ||
  fail "an uninstallable Linux package: $(cat "$work/out.txt")"
expect "apt cannot install: cmake$" out.txt "the uninstallable package"
expect "binary-i386/Packages.xz (File has unexpected size" out.txt "the failed index"

# The tool alone asks for its compiler, build tools and libraries only.
run_case 0 "" "" --tool-only >/dev/null
expect "install -y -q cmake ninja-build g++ pkgconf libidn2-dev libdeflate-dev zlib1g-dev libbrotli-dev$" \
  calls.txt "the tool's packages"

# The Windows packages uninstallable: status 3, once the Linux packages are in, naming what
# apt could not install and the index that failed.
[[ $(run_case 9 "$(grep -vx wget <<<"$linux")" "wine32:i386" ) == 3 ]] ||
  fail "the Windows part unavailable: $(cat "$work/out.txt")"
expect "install -y -q wget$" calls.txt "the Linux packages first"
expect "apt cannot install: wine32:i386$" out.txt "the uninstallable Windows package"
expect "binary-i386/Packages.xz" out.txt "the failed index"
expect "Windows toolchain NOT installed" out.txt "the summary"
[[ $(run_case 0 "$linux $windows" "" --bad) == 2 ]] || fail "a wrong argument"
echo "install-deps.sh: 7 outcomes as expected"
