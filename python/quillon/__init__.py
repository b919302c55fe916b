"""QUILLON: the absolute web addresses of the hyperlinks of a saved HTML page.

A page is bytes. Every anchor that opens exactly like <a href="http:// (letters
in any case) gives one address: "http://" and what follows up to the closing
double quote, with "/" appended unless it ends in ".html", ".htm" or "/",
left out if it holds an exclusion keyword, and cleaned of every byte that is
not printable ASCII. Each address is returned as bytes, exactly as the quillon
command-line tool writes it before CR LF.

    >>> import quillon
    >>> quillon.links(b'<a href="http://example.com/news">x</a>')
    [b'http://example.com/news/']
    >>> quillon.links_of_file("page.htm", exclude=["yahoo"])   # doctest: +SKIP

links() takes a page in memory, links_of_file() reads a file in blocks,
Scanner takes a page in chunks, and warc_links() gives the links of every HTML
page of a web archive (.warc, .warc.gz). Exclusion keywords are bytes, or str encoded
as UTF-8; at most six. Other threads run while a file is read, and while a
page or chunk of 16 KiB or more is scanned (smaller ones take less time than
handing over the interpreter's lock). When memory runs out, a call raises
MemoryError.

hyperlinks(), hyperlinks_of_file() and HyperlinkScanner follow the HTML rules
instead: every a and area href resolved as a browser resolves it, each link a
str (help(quillon._hyperlinks) says how).
"""

import os

from quillon import _quillon
from quillon._quillon import __version__

__all__ = ["ArchiveDamage", "HyperlinkScanner", "Scanner", "__version__", "hyperlinks",
           "hyperlinks_of_file", "links", "links_of_file", "warc_hyperlinks", "warc_links"]

# The engine reads at most this many keywords.
_MOST_KEYWORDS = 6


def _check_bytes(data, what):
    # str has a better message than the interpreter's "a bytes-like object is required": the
    # engine reads bytes, in whatever encoding the page was saved.
    if isinstance(data, str):
        raise TypeError(f"{what} is bytes, not str: encode it first (for example text.encode('cp932'))")


def _keyword_bytes(keyword):
    if type(keyword) is str:
        keyword = keyword.encode("utf-8")
    elif type(keyword) is not bytes:
        try:
            keyword = keyword.encode("utf-8") if isinstance(keyword, str) else memoryview(keyword).tobytes()
        except TypeError:
            raise TypeError(f"an exclusion keyword is bytes or str, not {type(keyword).__name__!r}") from None
    # The engine reads a keyword up to its first NUL: the rest would be dropped unseen.
    if b"\0" in keyword:
        raise ValueError("an exclusion keyword holds a NUL byte")
    return keyword


def _keywords(exclude):
    """exclude as the engine takes it: a tuple of at most six bytes."""
    kind = type(exclude)
    if kind is tuple or kind is list:
        if len(exclude) > _MOST_KEYWORDS:
            raise ValueError(f"at most six exclusion keywords, not {len(exclude)}")
        return tuple(map(_keyword_bytes, exclude)) if exclude else ()
    # Iterating one keyword would give its letters, each a keyword of its own.
    if isinstance(exclude, (str, bytes, bytearray)):
        raise TypeError("exclude is a sequence of keywords, such as ('yahoo',), not one keyword")
    try:
        items = iter(exclude)
    except TypeError:
        raise TypeError(f"exclude must be an iterable of keywords, not {type(exclude).__name__!r}") from None
    keywords = []
    # One at a time, so that an endless iterable fails at its seventh.
    for keyword in items:
        if len(keywords) == _MOST_KEYWORDS:
            raise ValueError("at most six exclusion keywords: exclude gave a seventh")
        keywords.append(_keyword_bytes(keyword))
    return tuple(keywords)


def links(data, exclude=()):
    """The addresses of one page, in page order: each is exactly the bytes the quillon
    tool writes before CR LF.

    data is the whole page as a bytes-like object (bytes, bytearray, memoryview,
    mmap); a str raises TypeError, since a page is bytes in its own encoding.
    exclude holds up to six keywords (bytes, or str taken as UTF-8); an address
    holding any of them, byte for byte, is left out. Other threads run while a page
    of 16 KiB or more is scanned.
    """
    _check_bytes(data, "a page")
    return _quillon.links(data, _keywords(exclude))


def links_of_file(path, exclude=()):
    """The addresses of the page in the file at path (str, bytes or os.PathLike), as
    links() gives them. The file is read in blocks, so memory stays small whatever its
    size. Raises OSError naming the file when it cannot be read (missing, a
    directory, no permission). Other threads run while the file is read and scanned.
    """
    name = os.fspath(path)
    return _quillon.links_of_file(name, _keywords(exclude))


class Scanner:
    """A page fed in chunks of any size, such as the blocks of a download: feed()
    gives back the addresses each chunk completes, finish() the rest, and the
    scanner then takes the next page. The addresses are those links() gives for the
    whole page, however it is cut. exclude is as for links().

        with quillon.Scanner(exclude=["yahoo"]) as scanner:
            for chunk in chunks:
                found += scanner.feed(chunk)
            found += scanner.finish()

    A with block closes the scanner as it ends, as close() does; a closed scanner
    refuses every call but close() with ValueError. Closing with a page fed but not
    finished would lose its last addresses, so close(), and a with block that ends
    normally, raise RuntimeError and leave the scanner open: call finish() for them,
    or reset() to drop them, then close(). A with block that ends with an exception
    closes the scanner whatever it holds, and the exception goes on.

    When memory runs out, feed() and finish() raise MemoryError and drop the page:
    the scanner takes a new one, and nothing of the old one comes later. A scanner
    serves one thread at a time; a call from a second thread meanwhile raises
    RuntimeError.
    """

    # The engine, made by __init__; None once closed, and in a scanner whose __init__ never ran.
    _engine = None
    _closed = False

    def __init__(self, exclude=()):
        self._engine = _quillon.scanner_new(_keywords(exclude))
        self._closed = False

    def _refused(self):
        if self._closed:
            raise ValueError("the Scanner is closed")
        raise TypeError("the Scanner was never made: its __init__ did not run")

    def feed(self, chunk):
        """Scans the next bytes of the page; returns the addresses completed so far and
        not yet returned. chunk is a bytes-like object, as data of links(); other
        threads run while a chunk of 16 KiB or more is scanned.
        """
        engine = self._engine or self._refused()
        _check_bytes(chunk, "a chunk")
        return _quillon.scanner_feed(engine, chunk)

    def finish(self):
        """The page has ended: returns its last addresses. An anchor or address left open
        at the end gives nothing. The scanner is then ready for a new page.
        """
        return _quillon.scanner_finish(self._engine or self._refused())

    def reset(self):
        """Drops the page fed so far, and the addresses not yet returned."""
        _quillon.scanner_reset(self._engine or self._refused())

    @property
    def closed(self):
        """Whether the scanner is closed."""
        return self._closed

    def close(self):
        """Closes the scanner; nothing if it is closed already. Raises RuntimeError, and
        leaves the scanner open, when a page was fed and not finished.
        """
        if self._closed:
            return
        if _quillon.scanner_page_open(self._engine or self._refused()):
            raise RuntimeError(
                "the Scanner holds a page fed but not finished: it is still open; call finish() "
                "for the page's last addresses, or reset() to drop them, then close()")
        self._engine, self._closed = None, True

    def __enter__(self):
        if self._engine is None:
            self._refused()
        return self

    def __exit__(self, exc_type, exc_value, traceback):
        if exc_type is None:
            self.close()
        elif not self._closed:
            # The block's own exception goes on; what the page held is lost with it.
            self._engine, self._closed = None, True


class ArchiveDamage(ValueError):
    """A web archive held damage: raised by the iterator of warc_links() or
    warc_hyperlinks() once it has given every intact page. filename is the archive; damage lists each damaged place
    as (offset, inflated, what): offset is the byte offset in the file as stored of
    the record, or in a .warc.gz of the gzip member it starts in; inflated is where
    the record starts among that member's inflated bytes, or None when the member
    opens with it; what says what was wrong. At most 1,000 places are listed, and
    then one (None, None, "N more damaged places").
    """

    def __init__(self, filename, damage):
        self.filename, self.damage = filename, damage
        where = []
        for offset, inflated, what in damage[:3]:
            at = "" if offset is None else f"offset {offset}: " if inflated is None else \
                f"offset {offset} (the gzip member there, inflated byte {inflated}): "
            where.append(at + what)
        more = f"; and {len(damage) - 3} more" if len(damage) > 3 else ""
        super().__init__(f"{os.fsdecode(filename)}: {'; '.join(where)}{more}")


def warc_links(path, exclude=()):
    """Iterates over the HTML pages of the web archive at path (str, bytes or
    os.PathLike): WARC 1.0 or 1.1, plain or gzip (one member per record, or one
    stream), as quillon --list --warc reads it. Each page gives (uri, links), in
    record order: uri is its WARC-Target-URI as str (bytes that are not UTF-8 come
    back with uri.encode("utf-8", "surrogateescape")), links its addresses as
    links() gives them, bytes each. exclude is as for links().

        for uri, found in quillon.warc_links("crawl.warc.gz", exclude=["yahoo"]):
            ...

    Damage (a gzip member cut short or corrupt, a malformed record, a body that
    cannot be decoded) loses nothing of the intact records: the iterator gives every
    intact page, and then raises ArchiveDamage, which lists where each damaged
    record lies and what was wrong with it; a page that damage cut short is not
    given. To keep the pages and go on, catch ArchiveDamage around the loop. OSError
    naming the file is raised by this call when the archive cannot be opened, and by
    the iterator, after the pages before, when reading it fails.

    The archive is read, inflated and scanned on a thread of its own, which runs
    while the caller handles a page; pages come over in batches of at most 256 pages
    or 16,384 links, and at most three batches are held at once. Dropping the
    iterator before its end stops the reading.
    """
    name = os.fspath(path)
    return _archive_pages(_quillon.warc_open(name, _keywords(exclude)), name)


def _archive_pages(archive, name):
    # A generator of its own, so that warc_links() checks its arguments and opens the file
    # when called, not at the first page.
    while (page := _quillon.warc_next(archive, name)) is not None:
        yield page
    damage = _quillon.warc_damage(archive)
    if damage:
        raise ArchiveDamage(name, damage)


# Last: the HTML rules take their arguments through the checks above.
from quillon._hyperlinks import (  # noqa: E402
    HyperlinkScanner,
    hyperlinks,
    hyperlinks_of_file,
    warc_hyperlinks,
)
