"""quillon.warc_links over archives wget wrote from the WARC tests' local server: the pages and
links quillon --list --warc gives, whichever way the archive is stored; damaged copies give
every intact page, then ArchiveDamage naming the damaged record."""

import gzip
import random
import subprocess

import pytest

from conftest import TOOL, warc_test

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


def test_damage_loses_no_intact_page(archive, tmp_path):
    """Cut and flipped copies: the pages of every record but the damaged one, in order, then
    ArchiveDamage at that record's member; a cut loses the records after it too."""
    stored, members = archive
    whole = list(quillon.warc_links(_write(tmp_path / "whole.warc.gz", stored)))
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
            # Bytes 4 to 9 of a member (time, compressor flags, system) are checked by nothing.
            at = rng.choice([o for o in range(start, end) if not 4 <= o - start < 10])
            data = bytearray(stored)
            data[at] ^= 1 << rng.randrange(8)
        pages, raised = [], None
        try:
            for page in quillon.warc_links(_write(tmp_path / "damaged.warc.gz", bytes(data))):
                pages.append(page)
        except quillon.ArchiveDamage as error:
            raised = error
        lost = {uri_of[member]} | (set(uri_of[member:]) if how == "cut" else set())
        assert pages == [page for page in whole if page[0] not in lost], (how, at)
        assert raised is not None and raised.damage[0][0] == start and str(start) in str(raised), (how, at)


def _write(path, data):
    path.write_bytes(data)
    return path
