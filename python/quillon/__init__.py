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

links() takes a page in memory, links_of_file() reads a file in blocks, and
Scanner takes a page in chunks. Exclusion keywords are bytes, or str encoded
as UTF-8; at most six. Other threads run while a file is read, and while a
page or chunk of 16 KiB or more is scanned (smaller ones take less time than
handing over the interpreter's lock).

hyperlinks(), hyperlinks_of_file() and HyperlinkScanner follow the HTML rules
instead: every a and area href resolved as a browser resolves it, as str
(help(quillon._hyperlinks) says how).
"""

from quillon._hyperlinks import HyperlinkScanner, hyperlinks, hyperlinks_of_file
from quillon._quillon import Scanner, __version__, links, links_of_file

__all__ = ["HyperlinkScanner", "Scanner", "__version__", "hyperlinks", "hyperlinks_of_file", "links",
           "links_of_file"]
