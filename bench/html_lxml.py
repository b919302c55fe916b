#!/usr/bin/env python3
"""lxml's reading of the HTML rules over one page file, for bench/html_rules.sh:

    html_lxml.py FILE BASE_URL [RUNS]

lxml.html.fromstring(page, base_url=BASE_URL), make_links_absolute, then the href of every a
and area element: what a Python user does for the links a browser would follow. Prints
"SECONDS LINKS", the best of RUNS (default 3).
"""
import sys
import time

import lxml.html


def links(page, base):
    root = lxml.html.fromstring(page, base_url=base)
    root.make_links_absolute(base)
    return [element.get("href") for element in root.iter("a", "area") if element.get("href") is not None]


def main():
    with open(sys.argv[1], "rb") as source:
        page = source.read()
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        found = links(page, sys.argv[2])
        took = time.perf_counter() - start
        best = took if best is None or took < best else best
    print("%.6f %d" % (best, len(found)))


if __name__ == "__main__":
    main()
