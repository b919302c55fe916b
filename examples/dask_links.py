#!/usr/bin/python3
"""The addresses of many saved pages, or of web archives, found on a Dask cluster, in one table.

    examples/dask_links.py pages/ > links.tsv                   # a LocalCluster on this machine
    examples/dask_links.py --scheduler tcp://HOST:8786 pages/ > links.tsv
    examples/dask_links.py -x yahoo -o links.tsv a.htm b.htm site/
    examples/dask_links.py --warc crawl/*.warc.gz > links.tsv   # one task per archive

Each argument is a page or a folder, whose files are taken (in name order, sub-folders too).
The table has one line per address: the page's name, a tab, the address as the quillon tool
writes it (the same lines as quillon --list). Pages go to the workers in batches; by default
each worker reads its pages itself, so on a real cluster the pages must be at the same path
on every worker (a shared folder); --send reads them here and sends their bytes instead.
Pages that cannot be read are named on standard error, and the exit status is then 1.

With --warc, each argument is a web archive (.warc, .warc.gz; a folder gives its files), and
each archive is one task, read by its worker: the table has the lines quillon --list --warc
writes, the page's target URI, a tab, the address. Damage in an archive is named on standard
error with the record's offset (every intact page's addresses are in the table), and the exit
status is then 1. Dask's progress bar shows on standard error while the tasks run
(--no-progress: none).
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


def batch_table(names, exclude, pages=None):
    """The table's lines for a batch of pages (read here unless given: bytes, or why they could
    not be read), and the pages that could not be read."""
    lines, problems = [], []
    for index, name in enumerate(names):
        page = pages[index] if pages is not None else None
        try:
            if isinstance(page, str):
                raise OSError(0, page)
            found = quillon.links(page, exclude) if page is not None else quillon.links_of_file(name, exclude)
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
    args = parser.parse_args()
    exclude = [os.fsencode(keyword) for keyword in args.exclude]
    try:
        quillon.links(b"", exclude)  # bad keywords are refused before any cluster starts
    except ValueError as error:
        parser.error(str(error))

    if args.warc and args.send:
        parser.error("--send reads pages, not archives: the workers read the archives")

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
                                 pure=False)
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
