#!/usr/bin/python3
"""The Python module's speed and memory against its targets.

    PYTHONPATH=build/native/python bench/python_bench.py [--pages 10000] [--runs 5] [--data DIR]

1. Pages already in memory: quillon.links against lxml.html.fromstring with a walk over its a
   elements, html.parser and BeautifulSoup (each where Debian's package is installed), in
   pages per second. Target: at least 50x lxml.
2. Two threads against one, each thread taking half the pages, on the small pages and on
   pages of 1 MiB. Target: at least 1.5x.
3. import quillon in a new interpreter. Target: under 50 ms.
4. links_of_file on a 1 GiB page: resident memory beyond the interpreter's. Target: under
   20 MiB. Every address holds "http://", so with it as the one keyword none is kept and only
   the reading is measured.

Rounds take turns (one round of every contender after another) and the median is kept, so
that other work on the machine weighs on all alike. The results go to standard output and to
DIR/python-results.md.
"""

import argparse
import os
import random
import statistics
import subprocess
import sys
import threading
import time
from html.parser import HTMLParser
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import python_pages  # noqa: E402

import quillon  # noqa: E402

try:
    import lxml.html
except ImportError:
    lxml = None
try:
    import bs4
except ImportError:
    bs4 = None


def with_quillon(pages):
    return sum(len(quillon.links(page)) for page in pages)


def with_lxml(pages):
    found = 0
    for page in pages:
        for anchor in lxml.html.fromstring(page).iter("a"):
            found += anchor.get("href", "").lower().startswith("http://")
    return found


class AnchorParser(HTMLParser):
    def __init__(self):
        super().__init__()
        self.found = 0

    def handle_starttag(self, tag, attributes):
        if tag == "a":
            href = dict(attributes).get("href") or ""
            self.found += href.lower().startswith("http://")


def with_html_parser(pages):
    found = 0
    for page in pages:
        parser = AnchorParser()
        parser.feed(page.decode("cp932", errors="replace"))
        parser.close()
        found += parser.found
    return found


def with_bs4(pages):
    # Told the encoding: guessing it would take longer than the parsing.
    parser, found = "lxml" if lxml else "html.parser", 0
    for page in pages:
        soup = bs4.BeautifulSoup(page, parser, from_encoding="cp932")
        found += sum(a["href"].lower().startswith("http://") for a in soup.find_all("a", href=True))
    return found


def rounds(contenders, runs):
    """Median wall and processor seconds, and the result, of each contender: name ->
    (function, arguments)."""
    times = {name: [] for name in contenders}
    results = {}
    for _ in range(runs + 1):  # the first round warms up
        for name, (function, arguments) in contenders.items():
            wall, cpu = time.perf_counter(), time.process_time()
            results[name] = function(*arguments)
            times[name].append((time.perf_counter() - wall, time.process_time() - cpu))
    return {name: (statistics.median(t[0] for t in spent[1:]),
                   statistics.median(t[1] for t in spent[1:]), results[name])
            for name, spent in times.items()}


def readers_table(pages, runs):
    """Markdown lines: every reader on the pages (the slow ones on a tenth), per page."""
    share = pages[: max(1, len(pages) // 10)]
    contenders = {"quillon.links": (with_quillon, (pages,))}
    if lxml:
        contenders["lxml.html.fromstring + a elements"] = (with_lxml, (pages,))
    contenders["html.parser"] = (with_html_parser, (share,))
    if bs4:
        contenders[f"BeautifulSoup ({'lxml' if lxml else 'html.parser'})"] = (with_bs4, (share,))
    measured = rounds(contenders, runs)
    wall_q, cpu_q, _ = measured["quillon.links"]
    lines = ["| reader | pages/s | CPU pages/s | quillon.links is (wall) | (CPU) | http:// anchors per page |",
             "|---|---:|---:|---:|---:|---:|"]
    for name, (wall, cpu, found) in measured.items():
        count = len(contenders[name][1][0])
        wall, cpu = wall / count, cpu / count
        lines.append(f"| {name} | {1 / wall:,.0f} | {1 / cpu:,.0f} | "
                     f"{wall / (wall_q / len(pages)):.1f}x | {cpu / (cpu_q / len(pages)):.1f}x | "
                     f"{found / count:.1f} |")
    return lines


def in_threads(count, pages):
    # Each page four times, for long enough a run to be timed.
    parts = [pages[i::count] * 4 for i in range(count)]
    threads = [threading.Thread(target=with_quillon, args=(part,)) for part in parts]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()


def import_time(runs):
    code = "import time; t = time.perf_counter(); import quillon; print(time.perf_counter() - t)"
    spent = [float(subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                                  check=True).stdout) for _ in range(runs)]
    return statistics.median(spent)


def big_page(path, size):
    if path.exists() and path.stat().st_size == size:
        return
    block = b"".join(python_pages.pages(600, random_start=2))[: 1 << 20]
    with open(path, "wb") as file:
        for _ in range(size // len(block)):
            file.write(block)


MEMORY_CODE = """
import resource, sys, time, quillon
def status(field):
    for line in open("/proc/self/status"):
        if line.startswith(field + ":"):
            return int(line.split()[1])
before = status("VmRSS")
start = time.perf_counter()
kept = quillon.links_of_file(sys.argv[1], exclude=[b"http://"])
seconds = time.perf_counter() - start
print(status("VmHWM") - before, seconds, len(kept))
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--pages", type=int, default=10000)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--data", default=str(Path(__file__).resolve().parents[1] / "build/bench-data"))
    args = parser.parse_args()
    data = Path(args.data)
    data.mkdir(parents=True, exist_ok=True)
    lines = [f"quillon {quillon.__version__}, Python {sys.version.split()[0]}, "
             f"{os.cpu_count()} cores, load average {os.getloadavg()[0]:.1f} at the start", ""]

    # Pages of the size the generator makes by default, and pages five times as large.
    rng = random.Random(1)
    small = [python_pages.page(rng) for _ in range(args.pages)]
    larger = [python_pages.page(rng, anchors=60, paragraphs=30) for _ in range(args.pages)]
    for pages in small, larger:
        lines += [f"{len(pages)} pages in memory of {sum(map(len, pages)) / len(pages) / 1024:.1f} KiB "
                  f"on average, median of {args.runs}:", ""]
        lines += readers_table(pages, args.runs) + [""]
    pages = small

    megabyte_pages = [b"".join(python_pages.pages(600, random_start=100 + i))[: 1 << 20] for i in range(64)]
    # Pages of text with an anchor every 8 KiB or so: nearly all the time is the scan's.
    sparse_pages = [b"".join(python_pages.page(rng, anchors=1, paragraphs=40) for _ in range(190))[: 1 << 20]
                    for _ in range(64)]
    # Processor time over wall time is how many of the threads ran at once on average: near 2
    # when both scan together, whatever else the machine is doing.
    lines += ["Threads: the same pages split between them, median of "
              f"{args.runs}:", "",
              "| pages | 1 thread s | 2 threads s | speed-up | 2 threads: CPU s / wall s |",
              "|---|---:|---:|---:|---:|"]
    for label, work in [(f"{len(pages)} small pages", pages), ("64 pages of 1 MiB", megabyte_pages),
                        ("64 pages of 1 MiB, few anchors", sparse_pages)]:
        timing = rounds({"one": (in_threads, (1, work)), "two": (in_threads, (2, work))}, args.runs)
        one, (two, two_cpu, _) = timing["one"][0], timing["two"]
        lines.append(f"| {label} | {one:.3f} | {two:.3f} | {one / two:.2f}x | {two_cpu / two:.2f} |")

    lines += ["", f"import quillon in a new interpreter, median of 9: {import_time(9) * 1000:.1f} ms"]

    path = data / "python-page-1g.htm"
    big_page(path, 1 << 30)
    grown, seconds, kept = subprocess.run(
        [sys.executable, "-c", MEMORY_CODE, str(path)], capture_output=True, text=True, check=True
    ).stdout.split()
    lines.append(f"links_of_file on a 1 GiB page ({int(kept)} addresses kept): resident memory "
                 f"{int(grown) / 1024:.1f} MiB beyond the interpreter's, "
                 f"{(1 << 30) / float(seconds) / 1e6:.0f} MB/s")
    report = "\n".join(lines) + "\n"
    print(report, end="")
    (data / "python-results.md").write_text(report)


if __name__ == "__main__":
    main()
