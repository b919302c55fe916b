#!/usr/bin/env bash
# Times quillon --list --warc over a .warc.gz of real-looking pages (bench/make_warc: 10,000
# pages of the page corpus, request and response records, one gzip member each) against the
# floor of reading it (warc_floor: its members inflated by libdeflate alone) and zcat, and
# with --big also over an archive of one 1 GiB record (peak memory). See bench/README.md.
#   bench/warc_bench.sh [--runs N] [--pages N] [--big] [--data DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=5
pages=10000
big=0
data=$root/build/bench-data
while (($#)); do
  case $1 in
    --runs) runs=$2; shift ;;
    --pages) pages=$2; shift ;;
    --big) big=1 ;;
    --data) data=$2; shift ;;
    *) echo "usage: $0 [--runs N] [--pages N] [--big] [--data DIR]" >&2; exit 2 ;;
  esac
  shift
done
mkdir -p "$data"
data=$(cd "$data" && pwd)
results=$data/warc-results.md
note() { echo "bench: $*" >&2; }

cd "$root"
note "building the native preset"
cmake --preset native >/dev/null
cmake --build --preset native --target quillon_cli make_warc warc_floor measure make_corpus >/dev/null
# Others may rebuild build/native while this runs: time copies.
tools=$root/build/native/bench
cp build/native/cli/quillon "$data/quillon.warc-timed"
cp "$tools/warc_floor" "$data/warc_floor.timed"
quillon=$data/quillon.warc-timed
floor=$data/warc_floor.timed
measure=$tools/measure

archive=$data/pages-$pages.warc.gz
stats=$archive.stats
if [[ ! -s $stats ]]; then
  note "making $archive"
  "$tools/make_warc" "$archive" "$pages" >"$stats.new"
  mv "$stats.new" "$stats"
fi
stat_of() { sed -n "s/.*$1=\([0-9]*\).*/\1/p" "$stats"; }
inflated=$(stat_of inflated)
records=$(stat_of records)
cat "$archive" >/dev/null

names=("quillon --list --warc" "libdeflate floor" "zcat")
commands=("\"\$1\" --list --warc \"\$3\"" "\"\$2\" \"\$3\"" "zcat \"\$3\"")
declare -A wall cpu rss
run_one() {  # index, output file
  local line
  line=$("$measure" "$2" bash -c "${commands[$1]}" _ "$quillon" "$floor" "$archive") || {
    note "${names[$1]} failed"
    exit 1
  }
  read -r w k c <<<"$line"
  wall[$1]+="$w "
  cpu[$1]+="$c "
  ((k > ${rss[$1]:-0})) && rss[$1]=$k
  return 0
}
median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

note "one warm-up round, then $runs rounds, the commands taking turns"
for i in 0 1 2; do run_one "$i" /dev/null; done
wall=() cpu=() rss=()
for ((round = 0; round < runs; round++)); do
  for i in 0 1 2; do run_one "$i" "$data/warc-$i.out"; done
done
check=ok
lines=$(wc -l <"$data/warc-0.out")
[[ $lines == "$records" ]] || check="MISMATCH ($lines lines, $records expected)"

{
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), load average $(cut -d' ' -f1-3 /proc/loadavg):" \
    "$(basename "$archive") ($(stat -c %s "$archive") bytes stored, $inflated inflated)"
  echo
  echo "| command | seconds | CPU seconds | inflated MB/s | CPU MB/s | floor time / its time | floor CPU / its CPU | vs zcat | peak RSS KiB | check |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|"
  fw=$(median "${wall[1]}") fc=$(median "${cpu[1]}") zw=$(median "${wall[2]}")
  for i in 0 1 2; do
    w=$(median "${wall[$i]}") c=$(median "${cpu[$i]}")
    awk -v n="${names[$i]}" -v w="$w" -v c="$c" -v b="$inflated" -v fw="$fw" -v fc="$fc" \
      -v zw="$zw" -v r="${rss[$i]}" -v k="$([[ $i == 0 ]] && echo "$check")" \
      'BEGIN {printf "| %s | %.2f | %.2f | %.0f | %.0f | %.2f | %.2f | %.2f | %d | %s |\n",
              n, w, c, b / w / 1e6, b / c / 1e6, fw / w, fc / c, zw / w, r, k}'
  done
} | tee "$results"

if ((big)); then
  page=$data/page-1024.htm
  bigarchive=$data/one-record-1g.warc.gz
  if [[ ! -s $bigarchive ]]; then
    note "making $bigarchive (one record of 1 GiB, one gzip member)"
    [[ -s $page ]] || "$tools/make_corpus" page 1024 "$page" >/dev/null
    size=$(stat -c %s "$page")
    http=$'HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n'
    {
      printf 'WARC/1.0\r\nWARC-Type: response\r\nWARC-Target-URI: <http://big.example/>\r\n'
      printf 'Content-Type: application/http;msgtype=response\r\nContent-Length: %d\r\n\r\n' \
        $((size + ${#http}))
      printf '%s' "$http"
      cat "$page"
      printf '\r\n\r\n'
    } | gzip -1 >"$bigarchive.new"
    mv "$bigarchive.new" "$bigarchive"
  fi
  line=$("$measure" /dev/null "$quillon" --list --warc "$bigarchive")
  read -r w k c <<<"$line"
  echo "| one 1 GiB record, one gzip member | $w s | peak RSS $k KiB |" | tee -a "$results"
fi
