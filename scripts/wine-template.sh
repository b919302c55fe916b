#!/bin/bash
# Makes the template Wine prefix that every test run copies:
#   wine-template.sh DIRECTORY
# Any prefix already there is replaced. Prints how long the creation took.
set -u
if [[ $# -ne 1 ]]; then
  echo "usage: wine-template.sh DIRECTORY" >&2
  exit 2
fi
export WINEPREFIX=$1
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
unset DISPLAY

started=$EPOCHREALTIME
wineserver -k >/dev/null 2>&1
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
if ! wineboot --init >/dev/null 2>&1; then
  echo "wine-template.sh: wineboot failed for $WINEPREFIX" >&2
  exit 1
fi
wineserver -w
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "wine-template.sh: $WINEPREFIX has no registry after wineboot" >&2
  exit 1
fi
awk -v a="$started" -v b="$EPOCHREALTIME" -v p="$WINEPREFIX" \
  'BEGIN { printf "Wine template prefix %s made in %.1f s\n", p, b - a }'
