"""The module finds what the quillon tool writes: on the shared case table, and on generated
pages, real-looking and tricky, with and without keywords; whole, from a file, in chunks."""

import random

import pytest
import python_pages
from conftest import case_table, tool_links

import quillon

CASES = case_table()


def chunked(page, keywords, rng):
    """Scanner's records for the page cut at random places, empty and one-byte chunks among them."""
    scanner, found, at = quillon.Scanner(exclude=keywords), [], 0
    while at < len(page):
        size = rng.choice([0, 1, 1, 2, 7, 15, 16, 17, 64, 300, 5000])
        found += scanner.feed(page[at:at + size])
        at += size
    return found + scanner.finish()


def check_page(page, keywords, expected, path, rng):
    assert quillon.links(page, keywords) == quillon.links_of_file(path, keywords) == expected
    assert [chunked(page, keywords, rng) for _ in range(3)] == [expected] * 3


@pytest.mark.parametrize("name,page,keywords,expected", CASES, ids=[c[0] for c in CASES])
def test_case_table(name, page, keywords, expected, tmp_path):
    (tmp_path / "page.htm").write_bytes(page)
    assert tool_links(tmp_path / "page.htm", keywords) == expected
    check_page(page, keywords, expected, tmp_path / "page.htm", random.Random(name))


@pytest.mark.parametrize("make,random_start", [(python_pages.page, 7), (python_pages.tricky, 11)])
def test_generated_pages(make, random_start, tmp_path):
    rng = random.Random(random_start)
    pool = [b"yahoo", b"co.jp", b".html", b"x" * 40, b"news/", b""]
    for number, page in enumerate(python_pages.pages(60, random_start=random_start, make=make)):
        keywords = rng.sample(pool, rng.randint(0, 6))
        path = tmp_path / f"{number}.htm"
        path.write_bytes(page)
        check_page(page, keywords, tool_links(path, keywords), path, rng)
