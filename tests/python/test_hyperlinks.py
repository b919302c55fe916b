"""quillon.hyperlinks, hyperlinks_of_file and HyperlinkScanner: the same links as
quillon --list --html on generated pages, whole and in chunks, and the argument checks."""

import os
import random
import subprocess
import sys

import pytest

import quillon
from conftest import ROOT, TOOL


@pytest.fixture(scope="module")
def pages(tmp_path_factory):
    folder = tmp_path_factory.mktemp("pages")
    subprocess.run([sys.executable, str(ROOT / "tests/hyperlinks/make_pages.py"), str(folder), "--pages", "80"],
                   check=True)
    return sorted(path for path in (folder / "utf8").rglob("*.html"))


def test_same_links_as_the_tool(pages):
    base = "https://example.org/docs/"
    listed = subprocess.run([TOOL, "--list", "--html", "--all-schemes", "--base=" + base, "--", *map(str, pages)],
                            capture_output=True, check=True).stdout
    expected = {str(page): [] for page in pages}
    for line in listed.split(b"\n")[:-1]:
        page, _, link = line.partition(b"\t")
        expected[os.fsdecode(page)].append(link.decode("ascii"))
    cutter = random.Random(20261209)
    scanner = quillon.HyperlinkScanner(base=base, all_schemes=True)
    for page in pages:
        data = page.read_bytes()
        assert quillon.hyperlinks(data, base=base, all_schemes=True) == expected[str(page)], page
        assert quillon.hyperlinks_of_file(page, base, (), True) == expected[str(page)], page
        found, at = [], 0
        while at < len(data):
            step = cutter.randrange(1, 3000)
            found += scanner.feed(memoryview(data)[at:at + step])
            at += step
        assert found + scanner.finish() == expected[str(page)], page
    assert sum(map(len, expected.values())) > len(pages)


def test_options_and_refusals(tmp_path):
    page = "<a href='/b\u00e9'>".encode("latin-1") + b"<a href=mailto:m@x><a href=http://yahoo.example/>"
    assert quillon.hyperlinks(page, base="http://h.example/a/", encoding="latin1", exclude=["yahoo"]) == [
        "http://h.example/b%C3%A9"]
    assert quillon.hyperlinks(page, base="http://h.example/", all_schemes=True)[1:] == [
        "mailto:m@x", "http://yahoo.example/"]
    assert quillon.hyperlinks(b"<a href=x><a href=HTTP://o.example>") == ["http://o.example/"]
    for wrong, error in [(dict(base="relative"), ValueError), (dict(encoding="no-such"), ValueError),
                         (dict(base=b"http://h/"), TypeError), (dict(exclude="yahoo"), TypeError),
                         (dict(exclude=["1", "2", "3", "4", "5", "6", "7"]), ValueError)]:
        with pytest.raises(error):
            quillon.hyperlinks(b"", **wrong)
    with pytest.raises(TypeError):
        quillon.hyperlinks("<a href=x>")
    with pytest.raises(OSError) as raised:
        quillon.hyperlinks_of_file(tmp_path / "missing.html")
    assert raised.value.filename == str(tmp_path / "missing.html")
    with quillon.HyperlinkScanner() as scanner:
        assert scanner.feed(b"<a href='http://a.example/'") == []
        scanner.reset()
        assert scanner.feed(b">") + scanner.finish() == []
    assert scanner.closed
    with pytest.raises(ValueError):
        scanner.feed(b"")
