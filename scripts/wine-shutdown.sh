#!/bin/bash
# Stops the wineserver of every prefix under a folder (the template and each test's copy):
#   wine-shutdown.sh FOLDER
# Always succeeds: a prefix without a running wineserver is simply passed over.
set -u
if [[ $# -ne 1 ]]; then
  echo "usage: wine-shutdown.sh FOLDER" >&2
  exit 2
fi
shopt -s nullglob
for prefix in "$1"/template "$1"/prefixes/*; do
  [[ -f $prefix/system.reg ]] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
done
exit 0
