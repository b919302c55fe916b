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
import shutil
import subprocess
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))

def idna2008_disallowed(link):
    """Whether the link's host has a label holding a symbol or punctuation (Unicode categories
    S and P) once its punycode is decoded."""
    host = re.match(r"[a-z][a-z0-9+.-]*://(?:[^@/]*@)?([^/:?#]*)", link)
    for label in (host.group(1).split(".") if host else []):
        if not label.startswith("xn--"):
            continue
        try:
            decoded = label[4:].encode("ascii").decode("punycode")
        except (UnicodeError, ValueError):
            continue
        if any(unicodedata.category(c)[0] in "SP" and c != "-" for c in decoded):
            return True
    return False


def opaque_base_with_fragment(link):
    """A link of a non-special scheme with an opaque path ("tel:1"), then "/" or "?", then "#"."""
    return re.match(r"(?!(?:https?|ftp|wss?|file):)[a-z][a-z0-9+.-]*:[^/][^#]*[/?][^#]*#", link)


# A tab or newline, literal or a character reference, inside a multi-byte UTF-8 sequence.
SPLIT_SEQUENCE = re.compile(
    rb"[\xc0-\xff][\x80-\xbf]{0,2}(?:[\t\n\r]|&#0*(?:9|10|13);|&#[xX]0*[9aAdD];|&Tab;|&NewLine;)+"
    rb"[\x80-\xbf]")


def tab_inside_utf8_sequence(link, page):
    """A link with a percent-encoded byte or a punycode label, on a page where a tab or newline
    splits a UTF-8 sequence."""
    return ("%" in link or "xn--" in link) and SPLIT_SEQUENCE.search(page)


def empty_query_dropped(tool, reference):
    """The tool's link keeps an empty query ("?" before "#" or at the end), the reference's
    lacks the "?"."""
    at = tool.find("?")
    return at >= 0 and tool[at + 1:at + 2] in ("", "#") and reference == tool[:at] + tool[at + 1:]


# Pairs of a link only the tool gives and one only the reference gives on the same page, of one
# cause: (whether the pair is of that cause, why).
EXPLAINED_PAIRS = [
    (empty_query_dropped,
     "Node 20's URL parser (Ada) drops the empty query of a base (\"http://x/?\") when it "
     "resolves an empty or fragment-only href against it; the URL Standard keeps it."),
]

# Differences between the tool and the reference that are understood, one entry per cause:
# (which side has the link the other lacks, whether a link is of that cause, why).
EXPLAINED = [
    ("both", tab_inside_utf8_sequence,
     "A FAULT of library/url, to be mended there: it removes tabs and newlines before it reads "
     "the bytes as UTF-8, so E2 82 <tab> AC becomes U+20AC where a browser, which decodes the "
     "page first, sees two U+FFFD (the tab then removed). Only invalid UTF-8 split by a tab or "
     "newline meets it."),
    ("reference", opaque_base_with_fragment,
     "Node 20's URL parser (Ada) resolves a relative href holding a '#' against a base with an "
     "opaque path (tel:+1-555, about:blank) to base + '/' + href; the URL Standard fails it "
     "unless the href is a fragment alone."),
    ("reference", idna2008_disallowed,
     "IDNA: libidn2's UTS #46 processing checks labels against IDNA2008, where symbols and "
     "punctuation (U+00AC, U+20AC, U+2209, U+2233, ', &, ;) are disallowed; Node's (ICU's) "
     "UTS #46 lets them through, so the tool finds no link where the reference does."),
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


def explain(side, link, page):
    for who, matches, _ in EXPLAINED:
        if who in (side, "both"):
            if matches(link, page) if who == "both" else matches(link):
                return True
    return False


def compare(tool, folder, options, pages, label):
    """Runs both on `pages`; returns the unexplained differences as lines of text."""
    options = [option.replace("{folder}", folder) for option in options]
    ours = by_page(run([tool, "--list", "--html", "-q"] + options + ["--"] + pages))
    theirs = by_page(run(["node", os.path.join(HERE, "reference", "links.mjs")] + options + pages))
    problems = []
    same = 0
    explained = 0
    for page in sorted(set(ours) | set(theirs)):
        mine, reference = ours.get(page, []), theirs.get(page, [])
        extra = collections.Counter(mine) - collections.Counter(reference)
        missing = collections.Counter(reference) - collections.Counter(mine)
        with open(page, "rb") as source:
            text = source.read()
        renamed = {}
        for tool_link in list(extra):
            for reference_link in list(missing):
                if any(matches(tool_link, reference_link) for matches, _ in EXPLAINED_PAIRS):
                    renamed[tool_link] = reference_link
                    del extra[tool_link], missing[reference_link]
                    break
        bad = [("tool only", link) for link in extra if not explain("tool", link, text)]
        bad += [("reference only", link) for link in missing
                if not explain("reference", link, text)]
        # The order of the links both give, explained pairs taken as alike.
        alike = collections.Counter(mine) - extra
        if [renamed.get(link, link) for link in mine if link in alike or link in renamed] != [
                link for link in reference if link in alike or link in renamed.values()]:
            bad.append(("order", "the same links in another order"))
        same += len(mine) - sum(extra.values())
        explained += len(renamed) + sum(extra.values()) + sum(missing.values()) - len(bad)
        problems += ["%s %s: %s: %r" % (label, page.decode(errors="replace"), side, link[:300])
                     for side, link in bad]
    print("%s: %d pages, %d links alike, %d explained differences, %d unexplained" %
          (label, len(pages), same, explained, len(problems)))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("work")
    parser.add_argument("--pages", type=int, default=300)
    parser.add_argument("--start", type=int, default=1)
    parser.add_argument("--real", action="append", default=[])
    arguments = parser.parse_args()
    if shutil.which("node") is None or not os.path.isdir("/usr/share/nodejs/parse5-sax-parser"):
        print("skipped: the reference needs nodejs and node-parse5-sax-parser")
        return 77
    generated = os.path.join(arguments.work, "generated")
    run([sys.executable, os.path.join(HERE, "make_pages.py"), generated, "--fresh",
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
