#!/usr/bin/python3
"""The addresses of many saved pages, or of web archives, found on a Dask cluster, in one table.

    examples/dask_links.py pages/ > links.tsv                   # a LocalCluster on this machine
    examples/dask_links.py --scheduler tcp://HOST:8786 pages/ > links.tsv
    examples/dask_links.py -x yahoo -o links.tsv a.htm b.htm site/
    examples/dask_links.py --warc crawl/*.warc.gz > links.tsv   # one task per archive
    examples/dask_links.py --html --base=https://example.org/ --root=site site/ > links.tsv

Each argument is a page or a folder, whose files are taken (in name order, sub-folders too).
The table has one line per address: the page's name, a tab, the address as the quillon tool
writes it (the same lines as quillon --list). Pages go to the workers in batches; by default
each worker reads its pages itself, so on a real cluster the pages must be at the same path
on every worker (a shared folder); --send reads them here and sends their bytes instead.
Pages that cannot be read are named on standard error, and the exit status is then 1.

With --html the table holds the links a browser would follow (the HTML rules, as
quillon --list --html writes them): each page's URL is --base, or with --root its path below
that folder appended to --base, percent-encoded, or without --base its file:// URL; a page
outside --root is named on standard error and left out.

With --warc, each argument is a web archive (.warc, .warc.gz; a folder gives its files), and
each archive is one task, read by its worker: the table has the lines quillon --list --warc
writes, the page's target URI, a tab, the address. Damage in an archive is named on standard
error with the record's offset (every intact page's addresses are in the table), and the exit
status is then 1.

Dask's progress bar shows on standard error while the tasks run (--no-progress: none); the
table is written once they are all done.
"""

import argparse
import contextlib
import os
import sys
import time

import quillon


def page_names(arguments):
    for argument in arguments:
        if not os.path.isdir(argument):
            yield argument
            continue
        for folder, subfolders, files in os.walk(argument):
            subfolders.sort()
            for name in sorted(files):
                yield os.path.join(folder, name)


# Bytes of a path kept as they are in a page's URL; every other one is percent-encoded, as the
# quillon tool does.
_KEPT_IN_URL = frozenset(b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$&'()*+,;=:@/")


def percent_encoded(path):
    return "".join(chr(byte) if byte in _KEPT_IN_URL else f"%{byte:02X}" for byte in os.fsencode(path))


def page_url(name, base, root):
    """The page's URL under --html, or None when --root is given and the page is not below it."""
    if base is None:
        return "file://" + percent_encoded(name if name.startswith("/") else os.getcwd() + "/" + name)
    if root is None:
        return base
    below = os.path.relpath(os.path.abspath(name), os.path.abspath(root))
    if below == ".." or below.startswith(".." + os.sep):
        return None
    folder = base if base.endswith("/") else base + "/"
    return folder + ("" if below == "." else percent_encoded(below))


def batch_table(names, exclude, pages=None, html=None):
    """The table's lines for a batch of pages (read here unless given: bytes, or why they could
    not be read), and the pages that could not be read. `html`: None for the classic rules, or
    (base, root, all_schemes) for the HTML rules."""
    lines, problems = [], []
    for index, name in enumerate(names):
        page = pages[index] if pages is not None else None
        try:
            if isinstance(page, str):
                raise OSError(0, page)
            if html is None:
                found = quillon.links(page, exclude) if page is not None else quillon.links_of_file(name, exclude)
            else:
                url = page_url(name, html[0], html[1])
                if url is None:
                    problems.append(f"{name}: skipped: it is not under --root")
                    continue
                options = {"base": url, "exclude": exclude, "all_schemes": html[2]}
                found = [link.encode("ascii") for link in (
                    quillon.hyperlinks(page, **options) if page is not None
                    else quillon.hyperlinks_of_file(name, **options))]
        except OSError as error:
            problems.append(f"{name}: {error.strerror}")
            continue
        prefix = os.fsencode(name) + b"\t"
        lines.extend(prefix + address + b"\n" for address in found)
    return b"".join(lines), problems


def archive_table(name, exclude):
    """The table's lines for the archive `name`, and its damage or why it could not be read."""
    lines, problems = [], []
    try:
        for uri, found in quillon.warc_links(name, exclude):
            prefix = uri.encode("utf-8", "surrogateescape") + b"\t"
            lines.extend(prefix + address + b"\n" for address in found)
    except quillon.ArchiveDamage as damage:
        problems += [f"{name}: " + (what if offset is None else f"offset {offset}: {what}")
                     for offset, _, what in damage.damage]
    except OSError as error:
        problems.append(f"{name}: {error.strerror}")
    return b"".join(lines), problems


def read_pages(names):
    pages = []
    for name in names:
        try:
            with open(name, "rb") as file:
                pages.append(file.read())
        except OSError as error:
            pages.append(error.strerror)
    return pages


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("pages", nargs="+", metavar="PAGE_OR_FOLDER")
    parser.add_argument("--scheduler", metavar="tcp://HOST:PORT",
                        help="a running cluster's scheduler (default: a LocalCluster here)")
    parser.add_argument("--workers", type=int, default=os.cpu_count(),
                        help="worker processes of the LocalCluster (default: one per core)")
    parser.add_argument("-x", "--exclude", action="append", default=[], metavar="KEYWORD",
                        help="leave out addresses holding KEYWORD (up to six)")
    parser.add_argument("-o", "--output", default="-", help="the table's file (default: standard output)")
    parser.add_argument("--batch", type=int, default=200, help="pages per task (default: 200)")
    parser.add_argument("--send", action="store_true", help="read the pages here and send their bytes")
    parser.add_argument("--warc", action="store_true",
                        help="the arguments are web archives (or folders of them): one task per archive")
    parser.add_argument("--no-progress", action="store_true", help="no progress bar on standard error")
    parser.add_argument("--html", action="store_true", help="the HTML rules: every link a browser would follow")
    parser.add_argument("--base", metavar="URL", help="with --html: the page's URL; with --root, the folder's")
    parser.add_argument("--root", metavar="DIR", help="with --html and --base: pages below DIR get --base and their path")
    parser.add_argument("--all-schemes", action="store_true", help="with --html: links of every scheme")
    args = parser.parse_args()
    if not args.html and (args.base or args.root or args.all_schemes):
        parser.error("--base, --root and --all-schemes go with --html")
    if args.root is not None and args.base is None:
        parser.error("--root goes with --base")
    exclude = [os.fsencode(keyword) for keyword in args.exclude]
    html = (args.base, args.root, args.all_schemes) if args.html else None
    try:
        # Bad keywords, and a --base that is no URL, are refused before any cluster starts.
        if html is None:
            quillon.links(b"", exclude)
        else:
            quillon.hyperlinks(b"", base=args.base, exclude=exclude)
    except ValueError as error:
        parser.error(str(error))

    if args.warc and args.send:
        parser.error("--send reads pages, not archives: the workers read the archives")
    if args.warc and args.html:
        parser.error("--warc and --html do not go together")

    from dask.distributed import Client, LocalCluster, progress

    started = time.monotonic()
    if args.scheduler:
        cluster, client = None, Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, host="127.0.0.1",
                               dashboard_address=None)
        client = Client(cluster)
    ready = time.monotonic()
    names = list(page_names(args.pages))
    if args.warc:
        futures = [client.submit(archive_table, name, exclude, pure=False) for name in names]
    else:
        batches = [names[at:at + args.batch] for at in range(0, len(names), args.batch)]
        futures = [client.submit(batch_table, batch, exclude, read_pages(batch) if args.send else None,
                                 html, pure=False)
                   for batch in batches]
    if not args.no_progress:
        # Dask's bar writes to standard output, where the table goes.
        with contextlib.redirect_stdout(sys.stderr):
            progress(futures)
        print(file=sys.stderr)

    output = contextlib.nullcontext(sys.stdout.buffer) if args.output == "-" else open(args.output, "wb")
    problems, lines = [], 0
    with output as output:
        for future in futures:  # in page order, each batch as soon as it and those before are done
            table, batch_problems = future.result()
            output.write(table)
            lines += table.count(b"\n")
            problems += batch_problems
    seconds = time.monotonic() - ready
    client.close()
    if cluster is not None:
        cluster.close()
    for problem in problems:
        print(f"dask_links.py: {problem}", file=sys.stderr)
    what = "archives" if args.warc else "pages"
    print(f"dask_links.py: {len(names)} {what}, {lines} addresses in {seconds:.2f} s "
          f"({len(names) / seconds:.0f} {what}/s), after {ready - started:.2f} s of cluster start",
          file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
