"""quillon.warc_links over archives wget wrote from the WARC tests' local server: the pages and
links quillon --list --warc gives, whichever way the archive is stored; damaged copies give
every intact page, then ArchiveDamage naming the damaged record. quillon.warc_hyperlinks: each
page's links those quillon.hyperlinks gives for its bytes, URI and HTTP charset."""

import gzip
import os
import random
import subprocess

import pytest

from conftest import TOOL, page_server, warc_test

import quillon


def table(pages):
    return b"".join(uri.encode("utf-8", "surrogateescape") + b"\t" + link + b"\n"
                    for uri, links in pages for link in links)


def test_same_links_as_the_tool(archive, tmp_path):
    stored, members = archive
    plain = b"".join(inflated for _, _, inflated in members)
    forms = {"site.warc.gz": stored, "site.warc": plain, "one-stream.warc.gz": gzip.compress(plain)}
    for name, data in forms.items():
        (tmp_path / name).write_bytes(data)
        for exclude in [(), ("h1", b"p12")]:
            keywords = [option for keyword in exclude for option in ("-x", keyword)]
            tool = subprocess.run([TOOL, "--list", "--warc", *keywords, tmp_path / name], capture_output=True)
            pages = list(quillon.warc_links(tmp_path / name, exclude))
            assert tool.returncode == 0 and table(pages) == tool.stdout and tool.stdout.count(b"\n") > 1000
    # An iterator dropped halfway stops its reading thread (this would hang otherwise).
    pages = quillon.warc_links(tmp_path / "site.warc.gz")
    next(pages)
    pages.close()
    with pytest.raises(FileNotFoundError, match="missing.warc"):
        quillon.warc_links(tmp_path / "missing.warc")


@pytest.fixture(scope="module")
def html_site(archive, tmp_path_factory):
    """(site, stored, members) as archive's (skipped with it), with pages for the HTML rules:
    non-ASCII hrefs in Shift_JIS that only the HTTP charset tells, an unknown label, a base."""
    site = page_server.Site(os.environ["QUILLON_BROTLI_ENCODER"], start_value=77)
    hrefs = ('<a href="/\u8868/\u30da\u30fc\u30b8?q=\u5024">x</a><a href="mailto:a@\u4f8b.jp">m</a>'
             '<a href=" HTTP://\u4f8b.example:80/a/../b ">y</a><area href="//h.example/\u00d7#f">')
    for path, content_type, coding, page in [
            ("sjis-gzip", 'text/html;charset="Shift_JIS"', "gzip", (hrefs * 50).encode("shift_jis")),
            ("unknown-label", "text/html; charset=no-such-label", None, hrefs.encode()),
            ("base", "text/html", None, ('<base href="sub/x/">' + hrefs + '<a href="../up?">u</a>').encode())]:
        site.pages[f"/html/{path}.html"] = (content_type, coding, False, page)
    stored = warc_test.make_archive(str(tmp_path_factory.mktemp("html-warc")), site)
    return site, stored, warc_test.members(stored)


def expected_hyperlinks(site, members, **options):
    """(uri, quillon.hyperlinks of the page's bytes) of each HTML response, in record order."""
    pages = []
    for _, _, record in members:
        uri = warc_test.header_field(record, b"WARC-Target-URI").strip(b"<>").decode()
        path = "/" + uri.split("/", 3)[-1]
        if warc_test.header_field(record, b"WARC-Type") == b"response" and site.is_html(path):
            content_type, _, _, page = site.pages[path]
            label = (content_type or "").partition("charset=")[2].strip('"')  # an unknown one ignored
            label = None if label in ("", "no-such-label") else label
            pages.append((uri, quillon.hyperlinks(page, uri, encoding=label, **options)))
    return pages


def test_hyperlinks_as_for_each_page(html_site, tmp_path):
    site, stored, members = html_site
    plain = _write(tmp_path / "site.warc", b"".join(inflated for _, _, inflated in members))
    for options in [{"all_schemes": True, "exclude": ["h1", "p12"]}, {}]:
        expected = expected_hyperlinks(site, members, **options)
        assert list(quillon.warc_hyperlinks(plain, **options)) == expected
        assert list(quillon.warc_hyperlinks(_write(tmp_path / "s.warc.gz", stored), **options)) == expected
    # A page whose target URI is no absolute URL is not read, and is named in the damage.
    base_uri = next(uri for uri, _ in expected if uri.endswith("/html/base.html")).encode()
    bad = plain.read_bytes().replace(base_uri, b"/html/base.html")
    pages = quillon.warc_hyperlinks(_write(tmp_path / "bad-uri.warc", bad))
    with pytest.raises(quillon.ArchiveDamage, match="'/html/base.html' is not an absolute URL"):
        assert list(pages) == [page for page in expected if not page[0].endswith("/html/base.html")]


@pytest.mark.parametrize("rules", ["classic", "html"])
def test_damage_loses_no_intact_page(archive, html_site, rules, tmp_path):
    """Cut and flipped copies: the pages of every record but the damaged one, in order, then
    ArchiveDamage at that record's member; a cut loses the records after it too."""
    stored, members = archive if rules == "classic" else html_site[1:]
    pages_of = quillon.warc_links if rules == "classic" else quillon.warc_hyperlinks
    whole = list(pages_of(_write(tmp_path / "whole.warc.gz", stored)))
    # The page each member holds, if any (a request record has its response's URI).
    uri_of = [warc_test.header_field(record, b"WARC-Target-URI").strip(b"<>").decode()
              if warc_test.header_field(record, b"WARC-Type") == b"response" else None
              for _, _, record in members]
    rng = random.Random(21)
    damaged = [(member, "cut") for member in rng.sample(range(1, len(members)), 12)]
    damaged += [(member, "flip") for member in rng.sample(range(len(members)), 24)]
    for member, how in damaged:
        start, end, _ = members[member]
        if how == "cut":
            at = rng.randrange(start + 1, end)
            data = stored[:at]
        else:
            # Bytes 4 to 9 of a member (time, compressor flags, system) and its extra field's
            # contents (wget's member length) are checked by nothing.
            extra = 2 + int.from_bytes(stored[start + 10:start + 12], "little") if stored[start + 3] & 4 else 0
            at = rng.choice([o for o in range(start, end) if not 4 <= o - start < 10 + extra])
            data = bytearray(stored)
            data[at] ^= 1 << rng.randrange(8)
        pages, raised = [], None
        try:
            for page in pages_of(_write(tmp_path / "damaged.warc.gz", bytes(data))):
                pages.append(page)
        except quillon.ArchiveDamage as error:
            raised = error
        lost = {uri_of[member]} | (set(uri_of[member:]) if how == "cut" else set())
        assert pages == [page for page in whole if page[0] not in lost], (how, at)
        assert raised is not None and raised.damage[0][0] == start and str(start) in str(raised), (how, at)


def _write(path, data):
    path.write_bytes(data)
    return path
