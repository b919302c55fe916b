#!/bin/bash
# Pages per second over a tree of many small pages:
#   bench/many_pages.sh [--pages N] [--runs N] [--data DIR]
#
# Makes (once) a tree of N real-looking pages of 2 to 100 KB (default 10,000) in
# DIR/pages-N (default DIR build/bench-data), then times, one command each, the page cache
# warm and every command's outputs already there from the warm-up round:
#   quillon --list       find | quillon --list --files0-from=-
#   grep -r              LC_ALL=C grep -roiaE --include='*.htm' '<a href="http://[^"]*"'
#   quillon --each       find | quillon --each --files0-from=-
#   per page             find | xargs -0 -P 2 -I{} quillon -q {} {}.links
#   xargs --each         find | xargs -0 -n 1000 -P 2 quillon --each
# and, for what two processes can gain on the machine at that time, two loops that only
# compute, one after the other and side by side.
# Every figure is the median of N runs (default 3); the commands take turns, one round of
# all after another. Prints a Markdown table and keeps it in DIR/many-pages-results.md.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data=$root/build/bench-data
pages=10000
runs=3
while (($#)); do
  case $1 in
    --pages) pages=$2; shift ;;
    --runs) runs=$2; shift ;;
    --data) data=$2; shift ;;
    *) echo "usage: bench/many_pages.sh [--pages N] [--runs N] [--data DIR]" >&2; exit 2 ;;
  esac
  shift
done
mkdir -p "$data"
data=$(cd "$data" && pwd)
results=$data/many-pages-results.md

note() { echo "bench: $*" >&2; }

# --- Build ---------------------------------------------------------------------------------
cd "$root"
note "building the native preset"
quillon=$root/build/native/cli/quillon
if ! { cmake --preset native >/dev/null &&
  cmake --build --preset native --target quillon make_page_tree measure >/dev/null; }; then
  [[ -x $quillon && -x $root/build/native/bench/make_page_tree ]] || {
    note "cannot build quillon and the bench tools"
    exit 1
  }
  note "the native build fails now: timing the quillon built last ($(date -r "$quillon" '+%H:%M'))"
fi
# Others may rebuild build/native while this runs: time a copy.
cp "$quillon" "$data/quillon.timed"
quillon=$data/quillon.timed
tools=$root/build/native/bench
measure=$tools/measure

# --- The tree ------------------------------------------------------------------------------
tree=$data/pages-$pages
stats=$tree.stats
if [[ ! -s $stats ]]; then
  note "making $pages pages in $tree"
  rm -rf "$tree"
  mkdir -p "$tree"
  "$tools/make_page_tree" "$tree" "$pages" >"$stats.new"
  mv "$stats.new" "$stats"
fi
stat_of() { sed -n "s/.*$1=\([0-9]*\).*/\1/p" "$stats"; }
records=$(stat_of records)
bytes=$(stat_of bytes)
find "$tree" -name '*.htm' -exec cat {} + >/dev/null

# --- Timing --------------------------------------------------------------------------------
# The commands, each one bash line over the tree ($1) with the tool ($2).
# shellcheck disable=SC2016  # $1 and $2 are bash -c's own
declare -A commands=(
  [list]='find "$1" -name "*.htm" -print0 | "$2" --list --files0-from=-'
  [grep]='LC_ALL=C grep -roiaE --include="*.htm" "<a href=\"http://[^\"]*\"" "$1"'
  [each]='find "$1" -name "*.htm" -print0 | "$2" --each --files0-from=-'
  [per_page]='find "$1" -name "*.htm" -print0 | xargs -0 -P 2 -I{} "$2" -q {} {}.links'
  [xargs_each]='find "$1" -name "*.htm" -print0 | xargs -0 -n 1000 -P 2 "$2" --each'
  # What two processes side by side can gain here at all: two loops that only compute, one
  # after the other and side by side (the figure shown is their ratio).
  [spin_serial]='awk "BEGIN { for (i = 0; i < 2e7; i++) s += i }"; awk "BEGIN { for (i = 0; i < 2e7; i++) s += i }"'
  [spin_parallel]='awk "BEGIN { for (i = 0; i < 2e7; i++) s += i }" & awk "BEGIN { for (i = 0; i < 2e7; i++) s += i }"; wait'
)
order=(list grep each per_page xargs_each spin_serial spin_parallel)

# timed_once NAME: "SECONDS PEAK_KIB CPU_SECONDS" of one run; its standard output is kept in
# DIR/many-NAME.out.
timed_once() {
  "$measure" "$data/many-$1.out" bash -c "${commands[$1]}" _ "$tree" "$quillon" ||
    { note "failed: $1"; exit 1; }
}
median() { awk NF | sort -n -k"$1,$1" | awk -v c="$1" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'; }
lines_of() { wc -l <"$1" | tr -d ' '; }
# All the --each outputs of the tree in one checksum, and their line count.
outputs_sum() { find "$1" -name '*.htm' -print0 | sort -z | sed -z 's/$/.links/' | xargs -0 cat | md5sum; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
declare -A samples=()
for ((round = 0; round <= runs; round++)); do
  note "round $round of $runs"
  for name in "${order[@]}"; do
    line=$(timed_once "$name")
    ((round == 0)) || samples[$name]+=$line$'\n'
    case $name in
      per_page) per_page_sum=$(outputs_sum "$tree") ;;
      each) each_sum=$(outputs_sum "$tree") ;;
      xargs_each) xargs_sum=$(outputs_sum "$tree") ;;
    esac
  done
done

declare -A seconds=() cpu=()
for name in "${order[@]}"; do
  seconds[$name]=$(median 1 <<<"${samples[$name]}")
  cpu[$name]=$(median 3 <<<"${samples[$name]}")
done

# The answers have to be right for the speed to count.
declare -A check=()
[[ $(lines_of "$data/many-list.out") == "$records" ]] && check[list]=ok ||
  check[list]="MISMATCH: $(lines_of "$data/many-list.out") lines, $records expected"
[[ $(lines_of "$data/many-grep.out") == "$records" ]] && check[grep]=ok || check[grep]=MISMATCH
links_lines=$(find "$tree" -name '*.links' -print0 | xargs -0 cat | wc -l)
[[ $links_lines == "$records" ]] && check[per_page]=ok ||
  check[per_page]="MISMATCH: $links_lines lines, $records expected"
[[ $each_sum == "$per_page_sum" ]] && check[each]=ok || check[each]="MISMATCH: differs from per page"
[[ $xargs_sum == "$per_page_sum" ]] && check[xargs_each]=ok ||
  check[xargs_each]="MISMATCH: differs from per page"

spin_gain=$(awk -v a="${seconds[spin_parallel]}" -v b="${seconds[spin_serial]}" 'BEGIN { printf "%.2f", b / a }')
rate() { awk -v n="$pages" -v t="$1" 'BEGIN { printf "%.0f", n / t }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }
declare -A labels=(
  [list]='find, quillon --list --files0-from=-'
  [grep]='grep -roiaE (-r: its own walk)'
  [each]='find, quillon --each --files0-from=-'
  [per_page]='find, xargs -P 2, one quillon per page'
  [xargs_each]='find, xargs -n 1000 -P 2 quillon --each'
)
# Against what each one is measured, and the target.
declare -A against=([list]=grep [each]=per_page [xargs_each]=each)
declare -A target=([list]=1 [each]=10 [xargs_each]=1.6)
{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1);" \
    "median of $runs runs, page cache warm, outputs already there; load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo "Tree: $pages pages, $((bytes / 1000000)) MB, $records addresses."
  echo
  echo "| command | seconds | pages/s | pages per CPU second | against | ratio | target | check |"
  echo "|---|---:|---:|---:|---|---:|---:|---|"
  for name in "${order[@]:0:5}"; do
    versus=${against[$name]-}
    if [[ -n $versus ]]; then
      r=$(ratio "${seconds[$name]}" "${seconds[$versus]}")
      met=$(awk -v r="$r" -v t="${target[$name]}" 'BEGIN { print (r >= t ? "met" : "not met") }')
      columns="${labels[$versus]} | $r | ${target[$name]}x, $met"
    else
      columns=" | | "
    fi
    echo "| ${labels[$name]} | ${seconds[$name]} | $(rate "${seconds[$name]}") |" \
      "$(rate "${cpu[$name]}") | $columns | ${check[$name]-} |"
  done
  echo
  echo "Two processes that only compute ran $spin_gain times as fast side by side as one after the other (${seconds[spin_serial]} s against ${seconds[spin_parallel]} s): what -P 2 can gain on this machine now."
} >"$results"
cat "$results"
