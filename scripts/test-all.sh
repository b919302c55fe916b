#!/bin/bash
# Sets up what is missing, then builds and tests everything: the Linux build, the Linux build
# under AddressSanitizer and UndefinedBehaviorSanitizer, a bounded fuzzing run of the library
# (clang, libFuzzer), and the 32-bit Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $(id -u) -eq 0 ]]; then scripts/install-deps.sh; else sudo scripts/install-deps.sh; fi
for preset in native sanitize fuzz windows; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
