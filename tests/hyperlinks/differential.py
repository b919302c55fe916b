#!/usr/bin/env python3
"""The differential test of the HTML rules: `quillon --list --html` against the reference.

    differential.py TOOL WORKFOLDER [--pages N] [--real FOLDER]...

Generates pages (make_pages.py) into WORKFOLDER and runs the tool and the reference
(reference/links.mjs) over them with the same options, in several configurations; with --real,
also over every *.html page under each FOLDER. Every line one gives and the other does not must
be explained by an entry of EXPLAINED below, or the test fails and prints it. The links of a
page must also come in the same order.
"""
import argparse
import collections
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# Differences between the tool and the reference that are understood, one entry per cause:
# (which side has the link the other lacks, a pattern of the link, why).
EXPLAINED = [
]

# Each run: the options given to both, and which generated folder.
CONFIGURATIONS = [
    ([], "utf8"),
    (["--all-schemes", "--base=http://example.org/docs", "--root={folder}"], "utf8"),
    (["-x", "example.", "-x", "%", "-x", "xn--"], "utf8"),
    (["--charset=windows-1252", "--all-schemes"], "latin"),
    (["--charset= Latin1 ", "--base=https://h.example/a/b?c#d"], "latin"),
]


def pages_under(folder):
    found = []
    for top, _, names in os.walk(folder):
        found.extend(os.path.join(top, name) for name in names
                     if name.endswith((".html", ".htm")))
    return sorted(found)


def run(command):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    if done.returncode != 0:
        sys.exit("%s failed (%d): %s" % (command[0], done.returncode,
                                         done.stderr.decode(errors="replace")[:2000]))
    return done.stdout


def by_page(output):
    links = collections.defaultdict(list)
    for line in output.split(b"\n"):
        if line:
            page, _, link = line.partition(b"\t")
            links[page].append(link.decode("utf-8", "replace"))
    return links


def explain(side, link):
    for who, pattern, _ in EXPLAINED:
        if who == side and re.search(pattern, link):
            return True
    return False


def compare(tool, folder, options, pages, label):
    """Runs both on `pages`; returns the unexplained differences as lines of text."""
    options = [option.replace("{folder}", folder) for option in options]
    ours = by_page(run([tool, "--list", "--html", "-q"] + options + ["--"] + pages))
    theirs = by_page(run(["node", os.path.join(HERE, "reference", "links.mjs")] + options + pages))
    problems = []
    same = 0
    for page in sorted(set(ours) | set(theirs)):
        mine, reference = ours.get(page, []), theirs.get(page, [])
        extra = collections.Counter(mine) - collections.Counter(reference)
        missing = collections.Counter(reference) - collections.Counter(mine)
        bad = [("tool only", link) for link in extra if not explain("tool", link)]
        bad += [("reference only", link) for link in missing if not explain("reference", link)]
        if not extra and not missing and mine != reference:
            bad.append(("order", "the same links in another order"))
        same += len(mine) - sum(extra.values())
        problems += ["%s %s: %s: %r" % (label, page.decode(errors="replace"), side, link[:300])
                     for side, link in bad]
    print("%s: %d pages, %d links alike, %d unexplained differences" %
          (label, len(pages), same, len(problems)))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("work")
    parser.add_argument("--pages", type=int, default=300)
    parser.add_argument("--start", type=int, default=1)
    parser.add_argument("--real", action="append", default=[])
    arguments = parser.parse_args()
    generated = os.path.join(arguments.work, "generated")
    if not os.path.isdir(generated):
        run([sys.executable, os.path.join(HERE, "make_pages.py"), generated,
             "--pages", str(arguments.pages), "--start", str(arguments.start)])
    problems = []
    for options, kind in CONFIGURATIONS:
        folder = os.path.join(generated, kind)
        problems += compare(arguments.tool, folder, options, pages_under(folder),
                            "%s %s" % (kind, " ".join(options)))
    for folder in arguments.real:
        pages = pages_under(folder)
        if pages:
            problems += compare(arguments.tool, folder, ["--all-schemes"], pages, folder)
    for problem in problems[:200]:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
