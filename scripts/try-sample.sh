#!/bin/bash
# Installs what the quillon tool needs (g++, CMake, Ninja, the libraries it links) if it is
# missing, builds the tool alone (the preset tool: no tests, no Python module, in build/tool) and
# runs it on the sample page, leaving out addresses that hold "yahoo". Shows what the run
# reported and the addresses it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $(id -u) -eq 0 ]]; then scripts/install-deps.sh --tool-only; else sudo scripts/install-deps.sh --tool-only; fi
cmake --preset tool >/dev/null
cmake --build --preset tool >/dev/null

output=build/tool/sample-out.txt
status=0
report=$(build/tool/cli/quillon examples/sample.htm "$output" yahoo 2>&1) || status=$?
echo "--- what the run reported (exit status $status):"
echo "$report"
echo "--- addresses written to $output:"
cat "$output"
