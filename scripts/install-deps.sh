#!/bin/bash
# Installs everything this project needs on a Debian 12 machine. Run as root:
#   scripts/install-deps.sh [--linux-only]
# Safe to run again: what is already there is left as it is. Quiet unless something fails;
# ends with a one-line summary. --linux-only skips the Windows cross build and Wine.
#
# Where the kernel cannot run 32-bit programs itself, 32-bit Wine runs through qemu-i386 by
# binfmt_misc. bookworm's own qemu is far too slow for Wine (about 50 s of CPU per process),
# so qemu comes from bookworm-backports. The binfmt registration does not survive a reboot
# and holds the interpreter open (flag F): it is made again whenever it is missing, differs,
# or is older than the installed qemu.
set -u
set -o pipefail

linux_only=0
for argument in "$@"; do
  case $argument in
    --linux-only) linux_only=1 ;;
    *)
      echo "usage: install-deps.sh [--linux-only]" >&2
      exit 2
      ;;
  esac
done
if [[ $(id -u) -ne 0 ]]; then
  echo "install-deps.sh: run as root" >&2
  exit 1
fi

log=$(mktemp /tmp/install-deps.XXXXXX.log)
fail() {
  echo "install-deps.sh: $1 (log follows)" >&2
  tail -n 60 "$log" >&2
  exit 1
}
quietly() { "$@" >>"$log" 2>&1; }
export DEBIAN_FRONTEND=noninteractive
apt_install() { quietly apt-get install -y -q "$@" || fail "apt-get install $* failed"; }

# clang-14 and its run-time libraries build the fuzzer (libFuzzer, ASan, UBSan). The packaging
# tests build the Debian package (dpkg-shlibdeps, file), check it with lintian, render the manual
# page (man-db) and build a consumer through pkg-config (pkgconf). The Python module is built
# with Debian's python3 and pybind11 (CMake, and pip or build through setuptools and wheel into
# a venv), tested with pytest, its Dask example on distributed, its benchmark against lxml,
# html.parser and BeautifulSoup.
linux_packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev clang-format
  clang-14 libclang-rt-14-dev locales dpkg-dev file lintian man-db pkgconf
  python3-dev pybind11-dev python3-pybind11 python3-pytest python3-distributed python3-lxml
  python3-bs4 python3-build python3-setuptools python3-wheel python3-pip python3-venv unzip)
# fonts-wine holds Marlett, which draws the glyphs of the title-bar buttons.
windows_packages=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-tools libc6:i386 wine wine32:i386 xvfb xauth x11-utils fonts-ipafont-gothic
  fonts-wine imagemagick)
backports=/etc/apt/sources.list.d/backports.sources

if ((!linux_only)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
  quietly dpkg --add-architecture i386 || fail "cannot add the i386 architecture"
fi
quietly apt-get update -q || fail "apt-get update failed"
apt_install "${linux_packages[@]}"

# Wine picks its ANSI code page from the locale: ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  if grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  elif ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  quietly locale-gen || fail "locale-gen failed"
fi

summary="Linux toolchain ready"
if ((!linux_only)); then
  apt_install "${windows_packages[@]}"
  how32="natively"
  binfmt=/proc/sys/fs/binfmt_misc
  # Once qemu-i386 is registered, 32-bit programs start through it: that is no sign of a
  # kernel that runs them itself.
  if [[ -e $binfmt/qemu-i386 ]] || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    how32="through qemu-i386"
    if [[ ! -f $backports ]]; then
      cat >"$backports" <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
      quietly apt-get update -q || fail "apt-get update (backports) failed"
    fi
    apt_install -t bookworm-backports qemu-user-static
    [[ -x /usr/bin/qemu-i386-static ]] || fail "qemu-i386-static is missing"
    if [[ ! -e $binfmt/register ]]; then
      quietly mount -t binfmt_misc binfmt_misc "$binfmt" || fail "cannot mount binfmt_misc"
    fi
    # Registered anew only when needed: while the entry is away, 32-bit programs that others
    # start on this machine fail. The packaged registration may lack the F flag, and with F
    # the kernel keeps the qemu file it opened then, so a qemu installed since needs a new one.
    entry=$binfmt/qemu-i386
    qemu=/usr/bin/qemu-i386-static
    if ! { [[ -e $entry ]] && grep -qx enabled "$entry" &&
      grep -qx "interpreter $qemu" "$entry" && grep -q '^flags: .*F' "$entry" &&
      (($(stat -L -c %Z "$qemu") <= $(stat -c %Y "$entry"))); }; then
      if [[ -e $entry ]]; then
        echo -1 >"$entry" || fail "cannot remove the old qemu-i386 registration"
      fi
      # binfmt_misc decodes the \x escapes itself.
      printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
        >"$binfmt/register" || fail "cannot register qemu-i386 with binfmt_misc"
    fi
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 || fail "32-bit programs still do not run"
  fi
  WINEDEBUG=-all wine --version >>"$log" 2>&1 || fail "wine does not start"
  summary="Linux toolchain, MinGW-w64 i686, $(wine --version 2>/dev/null) (32-bit $how32) and ja_JP.UTF-8 ready"
fi
rm -f "$log"
echo "install-deps.sh: $summary"
