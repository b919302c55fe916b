#!/bin/bash
# Pictures of marlip's main dialog and About box, under Xvfb with Japanese fonts, each pixel
# shown as 2 x 2 so that a reader can make out the text:
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
# The title-bar buttons' glyphs are Marlett letters: this Wine does not load the fonts of its
# own data folder (fonts-wine), so the prefix gets a copy (else a plain "r" shows).
cp "${WINE_FONTS:-/usr/share/wine/fonts}/marlett.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
# Captions are drawn in "MS UI Gothic" and the dialogs ask for "ＭＳ Ｐゴシック"; without them
# Wine falls back to fonts that cut the caption. IPA's Gothic fonts stand in, as on a Japanese
# desktop.
for replacement in "MS UI Gothic=IPAPGothic" "ＭＳ Ｐゴシック=IPAPGothic" "ＭＳ ゴシック=IPAGothic"; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${replacement%%=*}" /t REG_SZ \
    /d "${replacement#*=}" /f >/dev/null 2>&1
done
wineserver -w

(cd "$work" && wine "$bin/MARLIP.EXE" >/dev/null 2>&1 &)
shoot() {  # shoot PLACE FILE: the screen's rectangle WxH+X+Y into FILE, at twice its size
  import -window root -crop "$1" +repage -filter point -resize 200% "$2"
  echo "wrote $2 ($1, shown at twice its size)"
}
place=$(wine "$bin/marlip_poke.exe" main | tr -d '\r')
shoot "$place" "$root/docs/marlip-main.png"
place=$(wine "$bin/marlip_poke.exe" about | tr -d '\r')
shoot "$place" "$root/docs/marlip-about.png"
wine "$bin/marlip_poke.exe" close >/dev/null
wineserver -w
