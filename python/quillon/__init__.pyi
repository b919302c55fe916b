import os
from collections.abc import Iterable, Iterator
from types import TracebackType

from _typeshed import ReadableBuffer

__version__: str

# Each keyword is bytes-like (taken as it is) or str (taken as UTF-8).
_Keywords = Iterable[ReadableBuffer | str]

def links(data: ReadableBuffer, exclude: _Keywords = ()) -> list[bytes]: ...
def links_of_file(
    path: str | bytes | os.PathLike[str] | os.PathLike[bytes], exclude: _Keywords = ()
) -> list[bytes]: ...

class ArchiveDamage(ValueError):
    """Raised by the iterators of warc_links() and warc_hyperlinks() after every intact page;
    damage is (offset, inflated offset or None, what) per damaged place."""

    filename: str | bytes
    damage: list[tuple[int | None, int | None, str]]
    def __init__(self, filename: str | bytes, damage: list[tuple[int | None, int | None, str]]) -> None: ...

def warc_links(
    path: str | bytes | os.PathLike[str] | os.PathLike[bytes], exclude: _Keywords = ()
) -> Iterator[tuple[str, list[bytes]]]: ...

class Scanner:
    """A page in chunks. A with block closes the scanner as it ends, as close() does; a closed
    one raises ValueError. Closing with a page fed but not finished raises RuntimeError and
    leaves the scanner open for finish() or reset(); a block ended by an exception closes it
    whatever it holds."""

    def __init__(self, exclude: _Keywords = ()) -> None: ...
    def feed(self, chunk: ReadableBuffer) -> list[bytes]: ...
    def finish(self) -> list[bytes]: ...
    def reset(self) -> None: ...
    @property
    def closed(self) -> bool: ...
    def close(self) -> None: ...
    def __enter__(self) -> Scanner: ...
    def __exit__(
        self,
        exc_type: type[BaseException] | None,
        exc_value: BaseException | None,
        traceback: TracebackType | None,
    ) -> None: ...

# The HTML rules: links as str, what new URL(href, base).href gives.
def hyperlinks(
    data: ReadableBuffer,
    base: str | None = None,
    exclude: _Keywords = (),
    all_schemes: bool = False,
    encoding: str | None = None,
) -> list[str]: ...
def hyperlinks_of_file(
    path: str | bytes | os.PathLike[str] | os.PathLike[bytes],
    base: str | None = None,
    exclude: _Keywords = (),
    all_schemes: bool = False,
    encoding: str | None = None,
) -> list[str]: ...
def warc_hyperlinks(
    path: str | bytes | os.PathLike[str] | os.PathLike[bytes],
    exclude: _Keywords = (),
    all_schemes: bool = False,
) -> Iterator[tuple[str, list[str]]]: ...

class HyperlinkScanner:
    def __init__(
        self,
        base: str | None = None,
        exclude: _Keywords = (),
        all_schemes: bool = False,
        encoding: str | None = None,
    ) -> None: ...
    def feed(self, chunk: ReadableBuffer) -> list[str]: ...
    def finish(self) -> list[str]: ...
    def reset(self) -> None: ...
    @property
    def closed(self) -> bool: ...
    def close(self) -> None: ...
    def __enter__(self) -> HyperlinkScanner: ...
    def __exit__(
        self,
        exc_type: type[BaseException] | None,
        exc_value: BaseException | None,
        traceback: TracebackType | None,
    ) -> None: ...
