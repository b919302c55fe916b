#!/bin/bash
# Pictures of marlip's main dialog and About box, under Xvfb with the Japanese font:
#   scripts/screenshots.sh [BUILD_DIR]      (default: build/windows, built with the windows preset)
# Writes docs/marlip-main.png and docs/marlip-about.png. Needs Wine, Xvfb and ImageMagick
# (import); makes a Wine prefix of its own in a temporary folder (about 20 s) and removes it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
bin=$build/bin
for file in MARLIP.EXE QUILLON.dll marlip_poke.exe; do
  [[ -f $bin/$file ]] || { echo "screenshots.sh: no $bin/$file; build the windows preset" >&2; exit 2; }
done

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
for number in $(seq 90 190); do
  [[ -e /tmp/.X$number-lock || -e /tmp/.X11-unix/X$number ]] || break
done
Xvfb ":$number" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$number

wineboot --init >/dev/null 2>&1
wineserver -w
# Without a window manager Wine draws the frames and captions itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1

(cd "$work" && wine "$bin/MARLIP.EXE" >/dev/null 2>&1 &)
shoot() {  # shoot PLACE FILE: the screen's rectangle WxH+X+Y into FILE
  import -window root -crop "$1" +repage "$2"
  echo "wrote $2 ($1)"
}
place=$(wine "$bin/marlip_poke.exe" main | tr -d '\r')
shoot "$place" "$root/docs/marlip-main.png"
place=$(wine "$bin/marlip_poke.exe" about | tr -d '\r')
shoot "$place" "$root/docs/marlip-about.png"
wine "$bin/marlip_poke.exe" close >/dev/null
wineserver -w
