#!/bin/bash
# Sets up what is missing, builds the quillon tool and runs it on the sample page, leaving out
# addresses that hold "yahoo". Shows what the run reported and the addresses it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $(id -u) -eq 0 ]]; then scripts/install-deps.sh --linux-only; else sudo scripts/install-deps.sh --linux-only; fi
cmake --preset native >/dev/null
cmake --build --preset native --target quillon_cli >/dev/null

output=build/native/sample-out.txt
status=0
report=$(build/native/cli/quillon examples/sample.htm "$output" yahoo 2>&1) || status=$?
echo "--- what the run reported (exit status $status):"
echo "$report"
echo "--- addresses written to $output:"
cat "$output"
