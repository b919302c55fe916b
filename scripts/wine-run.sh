#!/bin/bash
# Runs one Windows program under Wine the way the tests need it:
#   wine-run.sh [--windowed] PROGRAM.exe [ARGS...]
# Environment:
#   WINEPREFIX             prefix to run in (default: ~/.wine-quillon)
#   QUILLON_WINE_TEMPLATE  when set, WINEPREFIX is first made afresh from this template prefix
# Wine runs with a Japanese locale (ANSI code page 932), no debug output, and without
# mscoree/mshtml. A windowed run gets an Xvfb of its own; any other run gets no display.
# The program's exit status is passed on. The prefix's wineserver and the Xvfb are shut down
# before the script returns, so nothing keeps the caller waiting.
set -u

windowed=0
if [[ ${1:-} == --windowed ]]; then
  windowed=1
  shift
fi
if [[ $# -lt 1 ]]; then
  echo "usage: wine-run.sh [--windowed] PROGRAM [ARGS...]" >&2
  exit 2
fi

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-quillon}

xvfb_pid=
scratch=
shut_down() {
  wineserver -k >/dev/null 2>&1
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -f "$WINEPREFIX.xvfb.pid"
  fi
  [[ -n $scratch ]] && rm -rf "$scratch"
}
trap shut_down EXIT
trap 'exit 130' INT TERM

if [[ -n ${QUILLON_WINE_TEMPLATE:-} ]]; then
  if [[ ! -f $QUILLON_WINE_TEMPLATE/system.reg ]]; then
    echo "wine-run.sh: no template prefix at $QUILLON_WINE_TEMPLATE" >&2
    exit 2
  fi
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Hard links keep a copy at a few milliseconds and no disk; the registry files are the
  # ones Wine rewrites, so those are real copies.
  cp -al "$QUILLON_WINE_TEMPLATE" "$WINEPREFIX" || exit 2
  for hive in "$QUILLON_WINE_TEMPLATE"/*.reg; do
    cp --remove-destination "$hive" "$WINEPREFIX/" || exit 2
  done
fi

if ((windowed)); then
  scratch=$(mktemp -d)
  Xvfb -nolisten tcp -screen 0 1280x1024x24 -displayfd 3 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
  xvfb_pid=$!
  # For wine-shutdown.sh, should this script be killed before it can stop the server itself.
  echo "$xvfb_pid" >"$WINEPREFIX.xvfb.pid"
  for ((i = 0; i < 100; i++)); do
    [[ -s $scratch/display ]] && break
    sleep 0.1
  done
  if [[ ! -s $scratch/display ]]; then
    echo "wine-run.sh: Xvfb did not start" >&2
    cat "$scratch/xvfb.log" >&2
    exit 2
  fi
  export DISPLAY=:$(head -n1 "$scratch/display")
else
  unset DISPLAY
fi

wine "$@"
status=$?
exit $status
