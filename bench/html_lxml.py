#!/usr/bin/env python3
"""lxml's reading of the HTML rules over one page file, and quillon.hyperlinks' in the same
process, for bench/html_rules.sh:

    html_lxml.py FILE BASE_URL [RUNS]

lxml.html.fromstring(page, base_url=BASE_URL), make_links_absolute, then the href of every a
and area element: what a Python user does for the links a browser would follow; and
quillon.hyperlinks(page, base=BASE_URL, all_schemes=True). Prints "SECONDS LINKS QSECONDS
QLINKS", each the best of RUNS (default 3); the last two are "- -" where quillon cannot be
imported.
"""
import sys
import time

import lxml.html


def links(page, base):
    root = lxml.html.fromstring(page, base_url=base)
    root.make_links_absolute(base)
    return [element.get("href") for element in root.iter("a", "area") if element.get("href") is not None]


def best_of(runs, read):
    best, found = None, None
    for _ in range(runs):
        start = time.perf_counter()
        found = read()
        took = time.perf_counter() - start
        best = took if best is None or took < best else best
    return best, found


def main():
    with open(sys.argv[1], "rb") as source:
        page = source.read()
    base = sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    seconds, found = best_of(runs, lambda: links(page, base))
    try:
        import quillon
        quillon_seconds, quillon_found = best_of(
            runs, lambda: quillon.hyperlinks(page, base=base, all_schemes=True))
        theirs = "%.6f %d" % (quillon_seconds, len(quillon_found))
    except ImportError:
        theirs = "- -"
    print("%.6f %d %s" % (seconds, len(found), theirs))


if __name__ == "__main__":
    main()
