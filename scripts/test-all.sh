#!/bin/bash
# Sets up what is missing, then builds and tests everything: the Linux build, the Linux build
# under AddressSanitizer and UndefinedBehaviorSanitizer, a bounded fuzzing run of the library
# (clang, libFuzzer), and the 32-bit Windows build under Wine. Stops at the first suite that
# fails, with its status.
#
# One suite may be left out: when scripts/install-deps.sh ends with status 3, apt could not
# install the Windows toolchain (a mirror that lacks the i386 builds of the latest updates),
# while the Linux one is ready. The Linux suites then run alone, a notice at the very end says
# that the Windows suite did not run and why, and the status is the Linux suites'. A Windows
# suite that runs and fails fails this script as any other.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
# install-deps.sh's messages (standard error) are shown as they come and kept for the notice.
deps_messages=$(mktemp /tmp/test-all.XXXXXX.txt)
set +e
{ "${as_root[@]}" scripts/install-deps.sh 2>&1 1>&3 3>&- | tee "$deps_messages" >&2; } 3>&1
deps_status=${PIPESTATUS[0]}
set -e

windows_not_run() {
  local status=$? bar
  bar=$(printf '!%.0s' {1..78})
  {
    echo
    echo "$bar"
    echo "!!! THE WINDOWS SUITE DID NOT RUN: its toolchain could not be installed."
    sed 's/^/!!!   /' "$deps_messages"
    if ((status == 0)); then
      echo "!!! The Linux suites (native, sanitize, fuzz) passed; the exit status is theirs: 0."
    else
      echo "!!! A Linux suite failed; the exit status is the Linux suites': $status."
    fi
    echo "!!! Run scripts/test-all.sh again once the mirror has the i386 updates."
    echo "$bar"
  } >&2
  rm -f "$deps_messages"
  exit "$status"
}

case $deps_status in
  0)
    rm -f "$deps_messages"
    presets=(native sanitize fuzz windows)
    ;;
  3)
    presets=(native sanitize fuzz)
    trap windows_not_run EXIT
    ;;
  *)
    rm -f "$deps_messages"
    exit "$deps_status"
    ;;
esac

for preset in "${presets[@]}"; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
