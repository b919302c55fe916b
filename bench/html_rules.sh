#!/bin/bash
# The HTML rules' speed and memory:
#   bench/html_rules.sh [--size MIB] [--lxml-size MIB] [--pages N] [--runs N] [--data DIR]
#
# 1. One big page of each kind (bench/make_corpus: page, anchors, text; default 200 MiB):
#    quillon --list --html against memchr_scan (the floor that only finds each "<"), with peak
#    memory; the real-looking page also with --charset=shift_jis (as an HTTP charset would say;
#    its own <meta> names Shift_JIS too, so iconv converts it either way).
# 2. The same rules in lxml (html_lxml.py: fromstring, make_links_absolute, the a and area
#    hrefs) on the first MIB (default 16) of the page and anchors corpora, against the tool on
#    the same bytes.
# 3. The tree of many small pages (bench/many_pages.sh's): find | quillon --list --html
#    --files0-from=- against grep -r for the classic anchor opening, in pages per second.
# Medians of N runs (default 3), commands taking turns; the table goes to standard output and
# DIR/html-rules-results.md (DIR: build/bench-data).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data=$root/build/bench-data
size=200
lxml_size=16
pages=10000
runs=3
while (($#)); do
  case $1 in
    --size) size=$2; shift ;;
    --lxml-size) lxml_size=$2; shift ;;
    --pages) pages=$2; shift ;;
    --runs) runs=$2; shift ;;
    --data) data=$2; shift ;;
    *) echo "usage: bench/html_rules.sh [--size MIB] [--lxml-size MIB] [--pages N] [--runs N] [--data DIR]" >&2; exit 2 ;;
  esac
  shift
done
mkdir -p "$data"
data=$(cd "$data" && pwd)
results=$data/html-rules-results.md
note() { echo "bench: $*" >&2; }

cd "$root"
note "building the native preset"
cmake --preset native >/dev/null
cmake --build --preset native --target quillon quillon_python make_corpus make_page_tree memchr_scan \
  measure >/dev/null
cp build/native/cli/quillon "$data/quillon.html-timed"
quillon=$data/quillon.html-timed
tools=$root/build/native/bench
measure=$tools/measure
python=/usr/bin/python3
base=https://example.org/docs/

corpus() {
  local file=$data/$1-$2m.html
  if [[ ! -s $file ]]; then
    note "making $file"
    "$tools/make_corpus" "$1" "$2" "$file" >"${file%.html}.stats"
  fi
  echo "$file"
}
median() { awk NF | sort -n -k"$1,$1" | awk -v c="$1" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'; }
largest() { awk NF | sort -n -k"$1,$1" | tail -n1 | cut -d' ' -f"$1"; }
mbps() { awk -v b="$1" -v t="$2" 'BEGIN { printf "%.0f", b / t / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }

# run NAME OUTPUT COMMAND...: one timed run, "SECONDS PEAK_KIB CPU" appended to samples[NAME].
declare -A samples=()
run() {
  local name=$1
  shift
  samples[$name]+=$("$measure" "$@")$'\n'
}

# --- One big page ------------------------------------------------------------------------------
declare -A file=()
for kind in page anchors text; do file[$kind]=$(corpus "$kind" "$size"); done
for kind in page anchors text; do cat "${file[$kind]}" >/dev/null; done
for ((round = 0; round <= runs; round++)); do
  note "big pages, round $round of $runs"
  for kind in page anchors text; do
    run "html.$kind" "$data/$kind.html.out" "$quillon" --list --html -q --base="$base" "${file[$kind]}"
    run "memchr.$kind" /dev/null "$tools/memchr_scan" "${file[$kind]}"
  done
  run html.page.sjis "$data/page.sjis.out" "$quillon" --list --html -q --base="$base" \
    --charset=shift_jis "${file[page]}"
  if ((round == 0)); then samples=(); fi
done

machine="$(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1)"
{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $machine; median of $runs runs, page cache warm; MB = 10^6 bytes; load average $(cut -d' ' -f1-3 /proc/loadavg) at the end."
  echo
  echo "| page ($size MiB) | quillon --list --html MB/s | memchr floor MB/s | vs memchr floor | peak RSS KiB | links |"
  echo "|---|---:|---:|---:|---:|---:|"
  # row LABEL CORPUS SAMPLES_KEY OUTPUT
  row() {
    local bytes t floor
    bytes=$(stat -c %s "${file[$2]}")
    t=$(median 1 <<<"${samples[$3]}")
    floor=$(median 1 <<<"${samples[memchr.$2]}")
    echo "| $1 | $(mbps "$bytes" "$t") | $(mbps "$bytes" "$floor") | $(ratio "$t" "$floor") |" \
      "$(largest 2 <<<"${samples[$3]}") | $(wc -l <"$4") |"
  }
  row page page html.page "$data/page.html.out"
  row "page, --charset=shift_jis" page html.page.sjis "$data/page.sjis.out"
  row anchors anchors html.anchors "$data/anchors.html.out"
  row text text html.text "$data/text.html.out"
  echo
} | tee "$results"

# --- lxml on the same bytes ---------------------------------------------------------------------
{
  echo "| first $lxml_size MiB of | lxml MB/s | quillon.hyperlinks MB/s | quillon.hyperlinks / lxml | quillon --list --html MB/s | tool / lxml | lxml links | quillon links |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|"
  for kind in page anchors; do
    cut_file=$data/$kind-first-${lxml_size}m.html
    head -c $((lxml_size * 1048576)) "${file[$kind]}" >"$cut_file"
    bytes=$(stat -c %s "$cut_file")
    read -r lxml_seconds lxml_links module_seconds _ < <(PYTHONPATH=$root/build/native/python \
      "$python" "$root/bench/html_lxml.py" "$cut_file" "$base" "$runs")
    quillon_samples=""
    for ((i = 0; i < runs; i++)); do
      quillon_samples+=$("$measure" "$data/$kind-cut.out" "$quillon" --list --html -q --all-schemes \
        --base="$base" "$cut_file")$'\n'
    done
    t=$(median 1 <<<"$quillon_samples")
    module="- | -"
    [[ $module_seconds != - ]] &&
      module="$(mbps "$bytes" "$module_seconds") | $(ratio "$module_seconds" "$lxml_seconds")"
    echo "| $kind | $(mbps "$bytes" "$lxml_seconds") | $module | $(mbps "$bytes" "$t") |" \
      "$(ratio "$t" "$lxml_seconds") | $lxml_links | $(wc -l <"$data/$kind-cut.out") |"
  done
  echo
} | tee -a "$results"

# --- Many small pages -------------------------------------------------------------------------
tree=$data/pages-$pages
if [[ ! -s $tree.stats ]]; then
  note "making $pages pages in $tree"
  rm -rf "$tree"
  mkdir -p "$tree"
  "$tools/make_page_tree" "$tree" "$pages" >"$tree.stats"
fi
find "$tree" -name '*.htm' -exec cat {} + >/dev/null
# shellcheck disable=SC2016  # $1, $2 and $3 are bash -c's own
list='find "$1" -name "*.htm" -print0 | "$2" --list --html --base="$3" --root="$1" --files0-from=-'
# shellcheck disable=SC2016
grep_r='LC_ALL=C grep -roiaE --include="*.htm" "<a href=\"http://[^\"]*\"" "$1"'
samples=()
for ((round = 0; round <= runs; round++)); do
  note "many pages, round $round of $runs"
  samples[list]+=$("$measure" "$data/many-html.out" bash -c "$list" _ "$tree" "$quillon" "$base")$'\n'
  samples[grep]+=$("$measure" "$data/many-grep-html.out" bash -c "$grep_r" _ "$tree")$'\n'
  if ((round == 0)); then samples=(); fi
done
list_t=$(median 1 <<<"${samples[list]}")
grep_t=$(median 1 <<<"${samples[grep]}")
rate() { awk -v n="$pages" -v t="$1" 'BEGIN { printf "%.0f", n / t }'; }
{
  echo "| $pages pages | pages/s | vs grep -r | peak RSS KiB | lines |"
  echo "|---|---:|---:|---:|---:|"
  echo "| find, quillon --list --html --files0-from=- | $(rate "$list_t") | $(ratio "$list_t" "$grep_t") | $(largest 2 <<<"${samples[list]}") | $(wc -l <"$data/many-html.out") |"
  echo "| grep -roiaE (the classic opening only) | $(rate "$grep_t") | 1.00 | $(largest 2 <<<"${samples[grep]}") | $(wc -l <"$data/many-grep-html.out") |"
} | tee -a "$results"
