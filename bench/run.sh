#!/bin/bash
# The speed benchmark, in one command:
#   bench/run.sh [--big] [--no-wine|--wine-only] [--runs N] [--size MB] [--wine-size MB] [--data DIR]
#                [--dll QUILLON.dll] [--wine-runs N]
#
# Builds what it needs, makes the corpora that are missing (page, anchors, text; --size MiB
# each, 200 by default) in DIR (default build/bench-data), and times, with the page cache warm,
# quillon -q, grep for the anchor openings, cat, wc -l, the memchr floor and the extraction
# floor on each, then the engine alone over each corpus in memory. Every figure is the median
# of N runs (default 5); peak memory is the largest seen. Prints Markdown tables and keeps them
# in DIR/results.md.
#   --big       also runs quillon once on a 1 GiB corpus of each kind (peak memory check)
#   --no-wine   leaves out QUILLON.dll under Wine (--wine-size MiB corpora, default 50)
#   --wine-only leaves out the Linux tools side by side
#   --dll       times this QUILLON.dll instead of the one the windows preset builds
#   --wine-runs runs of the DLL per corpus (default 3)
# 32-bit Wine runs through qemu-i386 only where the kernel cannot run 32-bit programs itself;
# there the script registers qemu when it is installed and skips the Wine part when it is not.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data=$root/build/bench-data
runs=5
size=200
wine_size=50
big=0
wine=1
dll_override=
wine_runs=3
linux=1
while (($#)); do
  case $1 in
    --big) big=1 ;;
    --no-wine) wine=0 ;;
    --wine-only) linux=0 ;;
    --runs) runs=$2; shift ;;
    --size) size=$2; shift ;;
    --wine-size) wine_size=$2; shift ;;
    --data) data=$2; shift ;;
    --dll) dll_override=$2; shift ;;
    --wine-runs) wine_runs=$2; shift ;;
    *) echo "usage: bench/run.sh [--big] [--no-wine|--wine-only] [--runs N] [--size MB] [--wine-size MB] [--data DIR] [--dll QUILLON.dll] [--wine-runs N]" >&2
       exit 2 ;;
  esac
  shift
done
mkdir -p "$data"
data=$(cd "$data" && pwd)
results=$data/results.md
kinds=(page anchors text)

note() { echo "bench: $*" >&2; }

# --- Build ---------------------------------------------------------------------------------
cd "$root"
note "building the native preset"
quillon=$root/build/native/cli/quillon
if ! { cmake --preset native >/dev/null && cmake --build --preset native --target quillon >/dev/null; }; then
  # Others may be half way through a change; the last good build still tells something.
  [[ -x $quillon ]] || { note "cannot build quillon"; exit 1; }
  note "the native build fails now: timing the quillon built last ($(date -r "$quillon" '+%H:%M'))"
fi
# Others may rebuild build/native while this runs: time a copy.
cp "$quillon" "$data/quillon.timed"
quillon=$data/quillon.timed
tools=$root/build/native/bench
bench_tools=(make_corpus memchr_scan extraction_floor measure)
if ! cmake --build --preset native --target "${bench_tools[@]}" >/dev/null 2>&1; then
  # The top level does not take bench/ in (or does not build): build the tools on their own.
  tools=$root/build/bench-tools
  cmake -S "$root/bench" -B "$tools" -G Ninja >/dev/null
  cmake --build "$tools" -j2 --target "${bench_tools[@]}" >/dev/null
fi
measure=$tools/measure

# --- Corpora -------------------------------------------------------------------------------
# corpus KIND MIB: path of that corpus, made if missing; its counts are in the .stats beside it.
corpus() {
  local file=$data/$1-$2m.html
  if [[ ! -s $file || ! -s ${file%.html}.stats ]]; then
    note "making $file"
    "$tools/make_corpus" "$1" "$2" "$file" >"${file%.html}.stats.new"
    mv "${file%.html}.stats.new" "${file%.html}.stats"
  fi
  echo "$file"
}
stat_of() { sed -n "s/.*$2=\([0-9]*\).*/\1/p" "${1%.html}.stats"; }

# --- Timing --------------------------------------------------------------------------------
# timed_once OUTPUT COMMAND...: "SECONDS PEAK_KIB" of one run. A grep that finds nothing
# exits 1, which is not a failure here.
timed_once() {
  local line
  line=$("$measure" "$@") || [[ $? -eq 1 ]] || { note "failed: ${*:2}"; exit 1; }
  echo "$line"
}

# time_median OUTPUT COMMAND...: one untimed warm-up run, then $runs timed ones; prints
# "MEDIAN_SECONDS PEAK_KIB MEDIAN_CPU_SECONDS" (the peak is the largest of all runs).
time_median() {
  local i samples
  timed_once "$@" >/dev/null
  samples=$(for ((i = 0; i < runs; i++)); do timed_once "$@"; done)
  summarise <<<"$samples"
}
# summarise: "SECONDS PEAK_KIB CPU_SECONDS" lines in, their medians (and the largest peak) out.
summarise() {
  local samples
  samples=$(cat)
  echo "$(median 1 <<<"$samples") $(sort -n -k2,2 <<<"$samples" | tail -n1 | cut -d' ' -f2)" \
    "$(median 3 <<<"$samples")"
}
# median COLUMN: the median of that column of the lines in.
median() { sort -n -k"$1,$1" | awk -v c="$1" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'; }

mbps() { awk -v b="$1" -v t="$2" 'BEGIN { printf "%.0f", b / t / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }

lines_of() { wc -l <"$1" | tr -d ' '; }

machine="$(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1)"
{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $machine; median of $runs runs, page cache warm; MB = 10^6 bytes; load average before: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo
} >"$results"

# --- Linux tools side by side ---------------------------------------------------------------
if ((linux)); then
  {
    echo "| corpus | tool | MB/s | CPU MB/s | vs grep | vs memchr floor | vs extraction floor | peak RSS KiB | check |"
    echo "|---|---|---:|---:|---:|---:|---:|---:|---|"
  } >>"$results"
  for kind in "${kinds[@]}"; do
    file=$(corpus "$kind" "$size")
    bytes=$(stat -c %s "$file")
    records=$(stat_of "$file" records)
    opens=$(stat_of "$file" opens)
    cat "$file" >/dev/null
    note "timing on $file"
    # Round by round, each tool in turn: whatever else the machine does then weighs on all of
    # them alike. Round 0 only warms up.
    declare -A samples=()
    for ((round = 0; round <= runs; round++)); do
      for tool in quillon grep cat wc floor extraction; do
        case $tool in
          quillon) line=$(timed_once /dev/null "$quillon" -q "$file" "$data/$kind.quillon.out") ;;
          grep) line=$(timed_once "$data/$kind.grep.out" \
            env LC_ALL=C grep -oiaE '<a href="http://[^"]*"' "$file") ;;
          cat) line=$(timed_once /dev/null cat "$file") ;;
          wc) line=$(timed_once /dev/null wc -l "$file") ;;
          floor) line=$(timed_once "$data/$kind.floor.out" "$tools/memchr_scan" "$file") ;;
          extraction) line=$(timed_once /dev/null "$tools/extraction_floor" "$file" \
            "$data/$kind.extraction.out") ;;
        esac
        ((round == 0)) || samples[$tool]+=$line$'\n'
      done
    done
    read -r t_quillon m_quillon c_quillon < <(summarise <<<"${samples[quillon]}")
    read -r t_grep m_grep c_grep < <(summarise <<<"${samples[grep]}")
    read -r t_cat m_cat c_cat < <(summarise <<<"${samples[cat]}")
    read -r t_wc m_wc c_wc < <(summarise <<<"${samples[wc]}")
    read -r t_floor m_floor c_floor < <(summarise <<<"${samples[floor]}")
    read -r t_extraction m_extraction c_extraction < <(summarise <<<"${samples[extraction]}")

    # The output has to be right for the speed to count.
    check_quillon=ok
    [[ $(lines_of "$data/$kind.quillon.out") == "$records" ]] ||
      check_quillon="MISMATCH: $(lines_of "$data/$kind.quillon.out") lines, $records expected"
    check_grep=ok
    [[ $(lines_of "$data/$kind.grep.out") == "$records" ]] || check_grep="MISMATCH"
    check_floor=ok
    [[ $(cat "$data/$kind.floor.out") == "$opens" ]] || check_floor="MISMATCH"
    check_extraction=ok
    cmp -s "$data/$kind.extraction.out" "$data/$kind.quillon.out" ||
      check_extraction="MISMATCH: differs from quillon's output"

    row() { # TOOL SECONDS PEAK CPU_SECONDS CHECK
      echo "| $kind ($((bytes / 1000000)) MB) | $1 | $(mbps "$bytes" "$2") | $(mbps "$bytes" "$4") |" \
        "$(ratio "$2" "$t_grep") | $(ratio "$2" "$t_floor") | $(ratio "$2" "$t_extraction") |" \
        "$3 | $5 |"
    }
    {
      row "quillon -q" "$t_quillon" "$m_quillon" "$c_quillon" "$check_quillon"
      row "grep -oiaE" "$t_grep" "$m_grep" "$c_grep" "$check_grep"
      row "cat" "$t_cat" "$m_cat" "$c_cat" ""
      row "wc -l" "$t_wc" "$m_wc" "$c_wc" ""
      row "memchr floor" "$t_floor" "$m_floor" "$c_floor" "$check_floor"
      row "extraction floor" "$t_extraction" "$m_extraction" "$c_extraction" "$check_extraction"
    } >>"$results"
  done
  echo >>"$results"

  # The engine alone, over the same bytes already in memory.
  if cmake --build --preset native --target engine_bench >/dev/null 2>&1; then
    {
      echo "The engine over the same bytes in memory, best of 7: the whole corpus in one feed, the"
      echo "same bytes as pages of 16 KiB, and memchr over them."
      echo
      echo "| corpus | engine MB/s | 16 KiB pages MB/s | memchr MB/s | engine / memchr | pages / memchr | found |"
      echo "|---|---:|---:|---:|---:|---:|---|"
      for kind in "${kinds[@]}"; do
        note "timing the engine in memory on $kind"
        echo "| $kind $("$root/build/native/bench/engine_bench" "$(corpus "$kind" "$size")")"
      done
      echo
    } >>"$results"
  else
    note "engine_bench does not build: the engine in memory is left out"
  fi
fi

# --- 1 GiB corpora: quillon's peak memory --------------------------------------------------
if ((big)); then
  {
    echo "| corpus (1 GiB) | quillon MB/s | peak RSS KiB | check |"
    echo "|---|---:|---:|---|"
  } >>"$results"
  for kind in "${kinds[@]}"; do
    file=$(corpus "$kind" 1024)
    bytes=$(stat -c %s "$file")
    cat "$file" >/dev/null
    note "timing quillon once on $file"
    read -r seconds peak _ < <("$measure" /dev/null "$quillon" -q "$file" "$data/$kind.big.out")
    check=ok
    [[ $(lines_of "$data/$kind.big.out") == "$(stat_of "$file" records)" ]] || check=MISMATCH
    echo "| $kind | $(mbps "$bytes" "$seconds") | $peak | $check |" >>"$results"
    rm -f "$data/$kind.big.out"
  done
  echo >>"$results"
fi

# --- QUILLON.dll under Wine -----------------------------------------------------------------
# How 32-bit programs run here, decided as scripts/install-deps.sh decides: once qemu-i386 is
# registered, 32-bit programs start through it, which is no sign of a kernel that runs them
# itself. Sets how32; fails with the reason in skip_reason when they cannot run.
binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386-static
prepare_32bit() {
  if [[ ! -e $binfmt/qemu-i386 ]] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    how32="32-bit natively"
    return 0
  fi
  how32="through qemu-i386"
  [[ -e $binfmt/qemu-i386 ]] && return 0
  if [[ ! -x $qemu ]]; then
    skip_reason="this kernel does not run 32-bit programs itself and $qemu is not installed"
    return 1
  fi
  # The registration is lost on every boot.
  if ! { { [[ -e $binfmt/register ]] || mount -t binfmt_misc binfmt_misc "$binfmt"; } &&
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      >"$binfmt/register"; } 2>/dev/null; then
    skip_reason="this kernel does not run 32-bit programs itself and qemu-i386 could not be registered with binfmt_misc"
    return 1
  fi
}

wine_section() {
  local how32 skip_reason
  if ! command -v wine >/dev/null; then
    skip_reason="wine is not installed"
  else
    prepare_32bit || true
  fi
  if [[ -n ${skip_reason-} ]]; then
    note "Wine part skipped: $skip_reason (scripts/install-deps.sh installs what it needs)"
    echo "Wine: skipped, $skip_reason (scripts/install-deps.sh installs what it needs)."
    return
  fi
  local dll=$dll_override
  if [[ -z $dll ]]; then
    note "building the windows preset"
    local built=1
    { cmake --preset windows >/dev/null && cmake --build --preset windows --target QUILLON >/dev/null; } ||
      built=0
    dll=$(find "$root/build/windows" -iname quillon.dll -print -quit)
    if [[ -z $dll ]]; then
      echo "Wine: skipped, the windows preset does not build and has no QUILLON.dll (try --dll)."
      return
    fi
    ((built)) || echo "The windows preset does not build now: timing the QUILLON.dll built last."
    local copy=$data/QUILLON.dll
    cp "$dll" "$copy"
    dll=$copy
  fi
  # The driver is one file: build it on its own, whatever the top level takes in.
  local driver_build=$root/build/bench-windows
  cmake -S "$root/bench" -B "$driver_build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$driver_build" -j2 >/dev/null
  local driver=$driver_build/bin/wine_bench.exe
  export WINEPREFIX=$data/wine-prefix
  [[ -f $WINEPREFIX/system.reg ]] || "$root/scripts/wine-template.sh" "$WINEPREFIX" >&2
  echo "DLL: $dll; Wine ran $how32."
  echo
  echo "| corpus ($wine_size MiB) | quillon on Linux MB/s | QUILLON.dll under Wine MB/s | Wine time / Linux time | within 1.5x | CPU MB/s Linux | CPU MB/s Wine | CPU time Wine / Linux | memchr floor under Wine MB/s | DLL vs that floor | check |"
  echo "|---|---:|---:|---:|---|---:|---:|---:|---:|---:|---|"
  local kind file bytes records t_linux c_linux line wine_seconds wine_mbps wine_cpu
  local wine_floor boxes check slower within
  for kind in "${kinds[@]}"; do
    file=$(corpus "$kind" "$wine_size")
    bytes=$(stat -c %s "$file")
    records=$(stat_of "$file" records)
    cat "$file" >/dev/null
    note "timing quillon and QUILLON.dll on $file"
    read -r t_linux _ c_linux < <(time_median /dev/null "$quillon" -q "$file" "$data/$kind.small.out")
    line=$("$root/scripts/wine-run.sh" "$driver" "Z:$dll" "Z:$file" "Z:$data/$kind.wine.out" \
      "$wine_runs" 2>&1 | tr -d '\r' | grep '^bytes=' || true)
    if [[ -z $line ]]; then
      echo "| $kind | $(mbps "$bytes" "$t_linux") | failed | | | $(mbps "$bytes" "$c_linux") | | | | | |"
      continue
    fi
    wine_seconds=$(sed -n 's/.*median_seconds=\([0-9.]*\).*/\1/p' <<<"$line")
    wine_mbps=$(sed -n 's/.* mbps=\([0-9.]*\).*/\1/p' <<<"$line")
    wine_cpu=$(sed -n 's/.*cpu_mbps=\([0-9.]*\).*/\1/p' <<<"$line")
    wine_floor=$(sed -n 's/.*floor_mbps=\([0-9.]*\).*/\1/p' <<<"$line")
    boxes=$(sed -n 's/.*boxes=\([0-9]*\).*/\1/p' <<<"$line")
    check=ok
    [[ $(lines_of "$data/$kind.wine.out") == "$records" ]] ||
      check="MISMATCH: $(lines_of "$data/$kind.wine.out") lines, $records expected"
    cmp -s "$data/$kind.wine.out" "$data/$kind.small.out" || check="$check; differs from quillon's"
    [[ $boxes == "$wine_runs" ]] || check="$check; $boxes boxes in $wine_runs runs"
    [[ $line == *" opens=$(stat_of "$file" opens)"* ]] || check="$check; floor count wrong"
    slower=$(ratio "$t_linux" "$wine_seconds")
    within=$(awk -v r="$slower" 'BEGIN { print (r <= 1.5 ? "yes" : "no") }')
    echo "| $kind | $(mbps "$bytes" "$t_linux") | $wine_mbps | $slower | $within |" \
      "$(mbps "$bytes" "$c_linux") | $wine_cpu | $(ratio "$wine_cpu" "$(mbps "$bytes" "$c_linux")") |" \
      "$wine_floor | $(ratio "$wine_floor" "$wine_mbps") | $check |"
  done
}
if ((wine)); then
  wine_section >>"$results"
  echo >>"$results"
fi

cat "$results"
