"""The HTML rules of the package quillon: every hyperlink of a page as a browser resolves it.

The page is read as the HTML Standard's tokenizer reads it (nothing inside comments, scripts
or other raw text; noscript read as markup). Every a and area href (the first of duplicate
attributes; quoted or not; character references decoded) is parsed by the URL Standard's
parser against the base: the page's URL (base=), or from the first <base href> on, that href
resolved against the page's URL. (A browser applies the base to the links before it too; these
rules do not, so that memory stays bounded.) Each link is the URL's serialization, what
new URL(href, base).href gives, as str. Only http and https links are kept unless
all_schemes; a link holding an exclusion keyword (bytes, or str taken as UTF-8; at most six)
is left out. The page's encoding is its byte order mark's, else encoding= (an Encoding
Standard label), else a <meta> charset within its first 1024 bytes, else UTF-8. An href longer
than 8192 bytes, or one that does not parse, gives nothing.
"""

import os

from quillon import _archive_pages, _check_bytes, _keywords, _quillon

def _text(value, what):
    if value is not None and not isinstance(value, str):
        raise TypeError(f"{what} is str or None, not {type(value).__name__!r}")
    return value


def _page(data, what):
    _check_bytes(data, what)
    return data


def hyperlinks(data, base=None, exclude=(), all_schemes=False, encoding=None):
    """The links of one page, in page order, each a str: what new URL(href, base).href
    gives for every a and area href.

    data is the whole page as a bytes-like object. base is the page's URL (None: none,
    and relative hrefs give nothing until a <base href> gives an absolute URL); a base
    that is not an absolute URL raises ValueError. exclude holds up to six keywords;
    all_schemes keeps links of every scheme (mailto:, ftp:, data:, javascript: ...);
    encoding is the label the page arrived with (an HTTP charset), which a byte order
    mark overrides; an unknown label raises ValueError. Other threads run while a page
    of 16 KiB or more is read.
    """
    return _quillon.hyperlinks(_page(data, "a page"), _text(base, "base"), _keywords(exclude),
                               bool(all_schemes), _text(encoding, "encoding"))


def hyperlinks_of_file(path, base=None, exclude=(), all_schemes=False, encoding=None):
    """The links of the page in the file at path (str, bytes or os.PathLike), as
    hyperlinks() gives them; the file is read in blocks. Raises OSError naming the file
    when it cannot be read.
    """
    return _quillon.hyperlinks_of_file(os.fspath(path), _text(base, "base"), _keywords(exclude),
                                       bool(all_schemes), _text(encoding, "encoding"))


def warc_hyperlinks(path, exclude=(), all_schemes=False):
    """Iterates over the HTML pages of the web archive at path as warc_links() does, giving
    each page's links under these rules: (uri, links) in record order, links as
    hyperlinks(page, base=uri, exclude=exclude, all_schemes=all_schemes, encoding=charset)
    gives them, where charset is that of the page's HTTP Content-Type (a label that names no
    encoding is ignored, as a browser ignores it).

        for uri, found in quillon.warc_hyperlinks("crawl.warc.gz"):
            ...

    Damage loses nothing of the intact records, as with warc_links(): every intact page
    comes, and then ArchiveDamage. A page whose WARC-Target-URI is not an absolute URL is
    not read, since its relative links could not be resolved: it is not given, and
    ArchiveDamage lists it ("... is not an absolute URL"), as it does a page whose encoding's
    converter could not be made. Reading, inflating and scanning run on a thread of their
    own, in bounded memory, as for warc_links().
    """
    name = os.fspath(path)
    return _archive_pages(_quillon.warc_open_html(name, _keywords(exclude), bool(all_schemes)),
                          name)


class HyperlinkScanner:
    """A page fed in chunks of any size under the HTML rules: feed() gives back the links
    each chunk completes, finish() the rest, and the scanner then takes the next page.
    The links are those hyperlinks() gives for the whole page, however it is cut; the
    arguments are as for hyperlinks().

        with quillon.HyperlinkScanner(base="https://example.org/") as scanner:
            for chunk in chunks:
                found += scanner.feed(chunk)
            found += scanner.finish()

    A scanner serves one thread at a time; a call from a second thread meanwhile raises
    RuntimeError. A closed scanner refuses every call but close() with ValueError.
    """

    _engine = None

    def __init__(self, base=None, exclude=(), all_schemes=False, encoding=None):
        self._engine = _quillon.hyperlink_scanner_new(_text(base, "base"), _keywords(exclude),
                                                      bool(all_schemes), _text(encoding, "encoding"))

    def _live(self):
        if self._engine is None:
            raise ValueError("the HyperlinkScanner is closed")
        return self._engine

    def feed(self, chunk):
        """Reads the next bytes of the page; returns the links completed so far and not
        yet returned."""
        return _quillon.hyperlink_scanner_feed(self._live(), _page(chunk, "a chunk"))

    def finish(self):
        """The page has ended: returns its last links (a tag left unfinished gives
        nothing). The scanner is then ready for a new page."""
        return _quillon.hyperlink_scanner_finish(self._live())

    def reset(self):
        """Drops the page fed so far, and the links not yet returned."""
        _quillon.hyperlink_scanner_reset(self._live())

    @property
    def closed(self):
        """Whether the scanner is closed."""
        return self._engine is None

    def close(self):
        """Closes the scanner; nothing if it is closed already."""
        self._engine = None

    def __enter__(self):
        self._live()
        return self

    def __exit__(self, exc_type, exc_value, traceback):
        self.close()
