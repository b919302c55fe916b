#!/bin/bash
# Stops the wineserver of every prefix under a folder (the template and each test's copy),
# and any Xvfb a windowed run left behind:
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
# The display servers of windowed runs whose wine-run.sh was killed.
for pid_file in "$1"/prefixes/*.xvfb.pid; do
  pid=$(<"$pid_file")
  [[ $(cat "/proc/$pid/comm" 2>/dev/null) == Xvfb ]] && kill "$pid" 2>/dev/null
  rm -f "$pid_file"
done
exit 0
