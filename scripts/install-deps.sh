#!/bin/bash
# Installs what this project needs on a Debian 12 machine. Run as root:
#   scripts/install-deps.sh               everything: the Linux toolchain, the Windows cross
#                                         build and Wine (scripts/test-all.sh)
#   scripts/install-deps.sh --linux-only  the Linux toolchain: the tool, the libraries, the
#                                         Python module, the sanitizer and fuzzing builds, the
#                                         packages and their tests
#   scripts/install-deps.sh --tool-only   what the quillon tool alone needs: g++, CMake,
#                                         Ninja and the libraries it links (scripts/try-sample.sh)
# Safe to run again: what is already there is left as it is, and when every package is there
# the package indexes are not even updated. Quiet unless something fails; ends with a one-line
# summary on standard output, everything else goes to standard error.
#
# A mirror in the middle of a sync may fail to update an index. apt-get update is then tried
# again a few times, and after that apt-get install decides with the indexes it has: only a
# package it cannot install fails the run, named.
#
# Exit status:
#   0  everything asked for is ready
#   1  something could not be set up (the message says what), or not run as root
#   2  wrong arguments
#   3  without an option only: the Linux toolchain is ready, but apt cannot install the Windows
#      packages (typically a mirror that lacks the i386 builds of the latest updates). The
#      message names the packages and the indexes that failed to update. scripts/test-all.sh
#      then runs the Linux suites alone and says loudly that the Windows suite did not run.
#
# Where the kernel cannot run 32-bit programs itself, 32-bit Wine runs through qemu-i386 by
# binfmt_misc. bookworm's own qemu is far too slow for Wine (about 50 s of CPU per process),
# so qemu comes from bookworm-backports. The binfmt registration does not survive a reboot
# and holds the interpreter open (flag F): it is made again whenever it is missing, differs,
# or is older than the installed qemu.
set -u
set -o pipefail

usage="usage: install-deps.sh [--linux-only | --tool-only]"
mode=all
for argument in "$@"; do
  case $argument in
    --linux-only) [[ $mode == all ]] && mode=linux || mode=bad ;;
    --tool-only) [[ $mode == all ]] && mode=tool || mode=bad ;;
    *) mode=bad ;;
  esac
done
if [[ $mode == bad ]]; then
  echo "$usage" >&2
  exit 2
fi
if [[ $(id -u) -ne 0 ]]; then
  echo "install-deps.sh: run as root" >&2
  exit 1
fi

# apt-get update: how many tries, and the pause between them.
update_tries=3
update_pause=20

log=$(mktemp /tmp/install-deps.XXXXXX.log)
say() { echo "install-deps.sh: $*" >&2; }
fail() {
  say "$1 (log follows; all of it in $log)"
  tail -n 60 "$log" >&2
  exit 1
}
quietly() { "$@" >>"$log" 2>&1; }
export DEBIAN_FRONTEND=noninteractive

# The packages among $@ that dpkg does not have installed, one a line. A name without an
# architecture means the machine's own (or "all").
missing_of() {
  local -A installed=()
  local native package architecture status
  native=$(dpkg --print-architecture)
  while read -r package architecture status; do
    [[ $status == installed ]] || continue
    [[ $architecture == "$native" || $architecture == all ]] && installed[$package]=1
    installed[$package:$architecture]=1
  done < <(dpkg-query -W -f='${Package} ${Architecture} ${db:Status-Status}\n' "$@" 2>/dev/null)
  for package in "$@"; do
    [[ -n ${installed[$package]:-} ]] || echo "$package"
  done
}

# apt-get update, tried again after a pause while an index fails; in the end it goes on with
# what it has. failed_indexes: the indexes the last try could not fetch, each with apt's reason.
failed_indexes=()
update_indexes() {
  local try output status
  for ((try = 1; ; try++)); do
    status=0
    output=$(apt-get update -q 2>&1) || status=$?
    printf '%s\n' "$output" >>"$log"
    mapfile -t failed_indexes < <(sed -n 's/^[EW]: Failed to fetch \([^ ]*\) *\(.*\)$/\1 (\2)/p' <<<"$output")
    if ((status != 0 && ${#failed_indexes[@]} == 0)); then
      failed_indexes=("apt-get update exited with status $status: $(grep -m1 '^E:' <<<"$output")")
    fi
    ((${#failed_indexes[@]} == 0)) && return 0
    say "apt-get update failed (try $try of $update_tries) on:"
    printf '    %s\n' "${failed_indexes[@]}" >&2
    if ((try == update_tries)); then
      say "going on with the indexes apt has; apt-get install decides"
      return 0
    fi
    sleep "$update_pause"
  done
}

# Installs the packages $@, all or none. Where apt cannot, uninstallable holds those it cannot
# install even on their own (all of them when none fails alone: a download failed, or they
# clash together), apt's reasons go to the log, and the status is 1.
uninstallable=()
install_packages() {
  local package
  uninstallable=()
  (($# == 0)) && return 0
  quietly apt-get install -y -q "$@" && return 0
  for package in "$@"; do
    quietly apt-get install -s -q "$package" || uninstallable+=("$package")
  done
  if ((${#uninstallable[@]} == 0)); then
    uninstallable=("$*, together")
  fi
  return 1
}

# What apt could not do, for a failure message: the packages, and the indexes that failed.
explain_uninstallable() {
  say "apt cannot install: ${uninstallable[*]}"
  if ((${#failed_indexes[@]})); then
    say "while these package indexes failed to update (a mirror in the middle of a sync?):"
    printf '    %s\n' "${failed_indexes[@]}" >&2
  fi
}

# clang-14 and its run-time libraries build the fuzzer (libFuzzer, ASan, UBSan). The packaging
# tests build the Debian package (dpkg-shlibdeps, file), check it with lintian, render the manual
# page (man-db) and build a consumer through pkg-config (pkgconf). The Python module is built
# with Debian's python3 and pybind11 (CMake, and pip or build through setuptools and wheel into
# a venv), tested with pytest, its Dask example on distributed, its benchmark against lxml,
# html.parser and BeautifulSoup. Node.js and parse5 are test references for the HTML rules;
# libidn2, libdeflate, zlib and brotli are libraries for addresses and web archives, which wget
# writes too.
# The tool links libidn2 (addresses), libdeflate, zlib and brotli (web archives), found
# through pkg-config.
tool_packages=(cmake ninja-build g++ pkgconf libidn2-dev libdeflate-dev zlib1g-dev libbrotli-dev)
linux_packages=("${tool_packages[@]}" googletest libgtest-dev libbenchmark-dev clang-format
  clang-14 libclang-rt-14-dev locales dpkg-dev file lintian man-db
  python3-dev pybind11-dev python3-pybind11 python3-pytest python3-distributed python3-lxml
  python3-bs4 python3-build python3-setuptools python3-wheel python3-pip python3-venv unzip
  nodejs node-parse5-sax-parser nlohmann-json3-dev wget)
# fonts-wine holds Marlett, which draws the glyphs of the title-bar buttons.
windows_packages=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-tools libc6:i386 wine wine32:i386 xvfb xauth x11-utils fonts-ipafont-gothic
  fonts-wine imagemagick)
backports=/etc/apt/sources.list.d/backports.sources

case $mode in
  tool) needed=("${tool_packages[@]}") ;;
  *) needed=("${linux_packages[@]}") ;;
esac
mapfile -t missing < <(missing_of "${needed[@]}")
missing_windows=()
if [[ $mode == all ]]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    quietly dpkg --add-architecture i386 || fail "cannot add the i386 architecture"
  fi
  mapfile -t missing_windows < <(missing_of "${windows_packages[@]}")
fi
if ((${#missing[@]} + ${#missing_windows[@]})); then
  update_indexes
fi
if ! install_packages "${missing[@]}"; then
  explain_uninstallable
  fail "$([[ $mode == tool ]] && echo "the tool's compiler, build tools and libraries" || echo "the Linux toolchain") cannot be installed"
fi

if [[ $mode == tool ]]; then
  rm -f "$log"
  echo "install-deps.sh: g++, CMake, Ninja and the tool's libraries ready"
  exit 0
fi

# Wine picks its ANSI code page from the locale: ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  if grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  elif ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  quietly locale-gen || fail "locale-gen failed"
fi

if [[ $mode == linux ]]; then
  rm -f "$log"
  echo "install-deps.sh: Linux toolchain ready"
  exit 0
fi

# The Linux toolchain is ready from here on: what the Windows part cannot install ends the
# run with status 3.
windows_unavailable() {
  say "the Windows toolchain cannot be installed; the Linux toolchain is ready"
  explain_uninstallable
  say "run this again once the mirror has caught up (log: $log)"
  echo "install-deps.sh: Linux toolchain ready; Windows toolchain NOT installed"
  exit 3
}
install_packages "${missing_windows[@]}" || windows_unavailable

how32="natively"
binfmt=/proc/sys/fs/binfmt_misc
# Once qemu-i386 is registered, 32-bit programs start through it: that is no sign of a kernel
# that runs them itself.
if [[ -e $binfmt/qemu-i386 ]] || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  how32="through qemu-i386"
  # bookworm's own qemu-user-static does not count.
  if [[ $(dpkg-query -W -f='${db:Status-Status} ${Version}' qemu-user-static 2>/dev/null) != installed*bpo* ]]; then
    if [[ ! -f $backports ]]; then
      cat >"$backports" <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    fi
    update_indexes
    if ! quietly apt-get install -y -q -t bookworm-backports qemu-user-static; then
      uninstallable=("qemu-user-static from bookworm-backports")
      windows_unavailable
    fi
  fi
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
rm -f "$log"
echo "install-deps.sh: Linux toolchain, MinGW-w64 i686, $(wine --version 2>/dev/null) (32-bit $how32) and ja_JP.UTF-8 ready"
