"""examples/dask_links.py on a two-worker LocalCluster on 127.0.0.1 writes the table that
quillon --list (--warc) writes for the same pages (archives)."""

import gzip
import subprocess
import sys

import pytest
import python_pages
from conftest import ROOT, TOOL

pytest.importorskip("distributed")


def expected_table(names, exclude, html=()):
    keywords = [option for keyword in exclude for option in ("-x", keyword)]
    return subprocess.run([TOOL, "--list", "-q", *html, *keywords, *names], capture_output=True).stdout


@pytest.mark.parametrize("how", [[], ["--send"], ["--html", "--base=https://example.org/d", "--root={root}"]])
def test_table_of_a_folder_and_pages(how, tmp_path):
    how = [option.replace("{root}", str(tmp_path)) for option in how]
    (tmp_path / "pages/sub").mkdir(parents=True)
    pages = python_pages.pages(150, random_start=9) + python_pages.pages(50, random_start=10, make=python_pages.tricky)
    for number, page in enumerate(pages):
        (tmp_path / "pages" / ("sub" if number % 3 else "") / f"p{number:03}.htm").write_bytes(page)
    # A folder is taken file by file in name order, its own files before its sub-folders'.
    names = [str(tmp_path / "pages/p000.htm"), str(tmp_path / "missing.htm")]
    names += [str(p) for folder in ["pages", "pages/sub"] for p in sorted((tmp_path / folder).glob("*.htm"))]
    run = subprocess.run([sys.executable, ROOT / "examples/dask_links.py", "--workers", "2", "--batch", "37",
                          "-x", "yahoo", *how, *names[:2], tmp_path / "pages"], capture_output=True, timeout=240)
    assert run.returncode == 1 and f"{names[1]}: No such file or directory" in run.stderr.decode()
    table = expected_table(names, [b"yahoo"], [option for option in how if option != "--send"])
    assert run.stdout == table and table.count(b"\n") > 1000


def test_table_of_archives(archive, tmp_path):
    """Two archives and one cut inside a record: the tool's table and damage, Dask's bar."""
    stored, members = archive
    (tmp_path / "a.warc.gz").write_bytes(stored)
    (tmp_path / "b.warc.gz").write_bytes(gzip.compress(b"".join(inflated for _, _, inflated in members)))
    (tmp_path / "cut.warc.gz").write_bytes(stored[:members[len(members) // 2][0] + 100])
    names = [str(tmp_path / name) for name in ["a.warc.gz", "cut.warc.gz", "b.warc.gz"]]
    run = subprocess.run([sys.executable, ROOT / "examples/dask_links.py", "--workers", "2", "--warc",
                          "-x", "p7", *names], capture_output=True, timeout=240)
    tool = subprocess.run([TOOL, "--list", "--warc", "-x", "p7", *names], capture_output=True)
    assert tool.returncode == run.returncode == 1 and run.stdout == tool.stdout and tool.stdout.count(b"\n") > 2000
    damage = [line.split(b": ", 1)[1] for line in tool.stderr.splitlines()]
    assert damage and [line.split(b": ", 1)[1] for line in run.stderr.splitlines()
                       if line.startswith(b"dask_links.py: /")] == damage
    assert b"100% Completed" in run.stderr
