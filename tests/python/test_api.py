"""What callers hand the module: every kind of bytes, bad pages and keywords, files that cannot
be read, pages cut anywhere, scanners misused, and threads."""

import array
import itertools
import mmap
import os
import signal
import threading
from concurrent.futures import ThreadPoolExecutor

import pytest
import python_pages

import quillon

PAGE = b"".join(python_pages.pages(20, random_start=3, make=python_pages.tricky))
EXPECTED = quillon.links(PAGE)
CALLS = [lambda page, exclude=(): quillon.links(page, exclude),
         lambda page, exclude=(): quillon.Scanner(exclude).feed(page)]


def test_any_bytes_like_page(tmp_path):
    (tmp_path / "page.htm").write_bytes(PAGE)
    with open(tmp_path / "page.htm", "rb") as file, mmap.mmap(file.fileno(), 0, access=mmap.ACCESS_READ) as mapped:
        views = [bytearray(PAGE), memoryview(b"xx" + PAGE)[2:], array.array("B", PAGE), mapped]
        assert all(quillon.links(view) == EXPECTED for view in views) and len(EXPECTED) > 100


@pytest.mark.parametrize("call", CALLS, ids=["links", "feed"])
@pytest.mark.parametrize("page,exclude,error,message", [
    (PAGE.decode("latin-1"), (), TypeError, "bytes, not str"),
    (None, (), TypeError, "not 'NoneType'"),
    ([PAGE], (), TypeError, "not 'list'"),
    (memoryview(PAGE)[::2], (), BufferError, ""),
    (PAGE, [b"a", "b", b"c", "d", b"e", "f", b"g"], ValueError, "at most six"),
    (PAGE, itertools.repeat(b"endless"), ValueError, "at most six"),
    (PAGE, "yahoo", TypeError, "sequence of keywords"),
    (PAGE, [b"yahoo", 5], TypeError, "not 'int'"),
    (PAGE, 5, TypeError, "iterable of keywords"),
    (PAGE, [b"ya\0hoo"], ValueError, "NUL"),
])
def test_bad_input(call, page, exclude, error, message):
    with pytest.raises(error, match=message):
        call(page, exclude)


def test_keywords_of_every_kind():
    page = b'<a href="http://caf\xc3\xa9.one/">' + b'<a href="http://caf\xe9.two/">'
    # str is UTF-8; bytes are matched as they are (here Latin-1); any iterable, some empty.
    assert quillon.links(page, exclude=["é"]) == [b"http://caf.two/"]
    assert quillon.links(page, exclude=(b"", bytearray(b"\xe9"))) == [b"http://caf.one/"]
    assert quillon.links(page, exclude=iter(["", "", "", "", "", "caf"])) == []


@pytest.mark.parametrize("make_path", [str, bytes, lambda path: path])
def test_unreadable_files(make_path, tmp_path):
    with pytest.raises(FileNotFoundError) as caught:
        quillon.links_of_file(make_path(tmp_path / "missing.htm"))
    assert caught.value.filename == os.fspath(make_path(tmp_path / "missing.htm"))
    with pytest.raises(IsADirectoryError, match=str(tmp_path)):
        quillon.links_of_file(make_path(tmp_path))


def test_file_of_many_blocks(tmp_path):
    # The file is read in blocks of 256 KiB: an anchor across each edge, at every offset.
    anchor, data = b'<a href="http://edge.example/a.html">', b""
    for edge, inside in enumerate(range(len(anchor) + 1), start=1):
        data += b"." * (edge * 262144 - inside - len(data)) + anchor
    (tmp_path / "big.htm").write_bytes(data)
    assert quillon.links_of_file(tmp_path / "big.htm") == [b"http://edge.example/a.html"] * (len(anchor) + 1)


def test_signal_is_heard_in_a_file_that_never_ends(tmp_path):
    os.mkfifo(tmp_path / "pipe")
    done, held = threading.Event(), []

    def write_and_hold():  # the pipe ends only once the reader gave up
        with open(tmp_path / "pipe", "wb") as pipe:
            pipe.write(b'<a href="http://x.example/">' * 1000)
            pipe.flush()
            held.append(done.wait(30))

    def time_up(*_):
        raise TimeoutError("the signal was heard")

    writer, before = threading.Thread(target=write_and_hold), signal.signal(signal.SIGALRM, time_up)
    writer.start()
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.3)
        with pytest.raises(TimeoutError, match="heard"):
            quillon.links_of_file(tmp_path / "pipe")
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, before)
        done.set()
        writer.join()
    assert held == [True]


def test_scanner_gives_records_as_they_are_completed():
    scanner = quillon.Scanner()
    assert scanner.feed(b'<a href="http://a.example/x">link</a>' + b" " * 100) == [b"http://a.example/x/"]
    assert scanner.feed(b'<a href="http://b.example/') == [] and scanner.feed(b'">') == [b"http://b.example/"]
    assert scanner.feed(b'<a href="http://unfinished') + scanner.finish() == []
    assert scanner.feed(b'example/">') + scanner.finish() == []  # a new page: nothing carried over


def test_scanner_loses_nothing():
    half, scanner = len(PAGE) // 2, quillon.Scanner()
    found = scanner.feed(PAGE[:half])
    with pytest.raises(TypeError):
        scanner.feed(PAGE[half:].decode("latin-1"))
    assert found + scanner.feed(PAGE[half:]) + scanner.finish() == EXPECTED
    # A with block that would drop addresses leaves the scanner open for what its message says.
    with pytest.raises(RuntimeError, match=r"call finish\(\)"):
        with quillon.Scanner() as scanner:
            found = scanner.feed(PAGE)
    assert not scanner.closed and found + scanner.finish() == EXPECTED
    scanner.close()
    with pytest.raises(ValueError, match="closed"):
        scanner.feed(PAGE)
    with quillon.Scanner() as scanner:
        assert scanner.feed(PAGE) + scanner.finish() == EXPECTED
    assert scanner.closed
    with pytest.raises(KeyError), quillon.Scanner() as scanner:  # the block's own error stays
        scanner.feed(PAGE)
        raise KeyError()
    assert scanner.closed


def test_scanner_never_made_is_refused():
    unmade, native = quillon.Scanner.__new__(quillon.Scanner), quillon._quillon
    for call in [lambda: unmade.feed(PAGE), unmade.finish, unmade.reset, unmade.close, unmade.__enter__]:
        with pytest.raises(TypeError, match="never made"):
            call()
    for call in [lambda: native.scanner_feed(None, PAGE), lambda: native.scanner_finish(unmade)]:
        with pytest.raises(TypeError, match="not a scanner"):
            call()


def test_out_of_memory_is_memory_error_and_loses_only_its_page(tmp_path):
    """Each allocation of a call failing in turn: MemoryError or success, and the scanner's next
    page comes out alone."""
    testcapi = pytest.importorskip("_testcapi")
    page, other = b'<a href="http://one.example/">' * 3, b'<a href="http://two.example/">'
    (tmp_path / "page.htm").write_bytes(page)
    calls = [lambda scanner: quillon.links(page, ["yahoo"]),
             lambda scanner: quillon.links_of_file(str(tmp_path / "page.htm"), ["yahoo"]),
             lambda scanner: scanner.feed(page) + scanner.finish()]
    for call in calls:
        failed = []
        for allocation in range(200):
            scanner = quillon.Scanner()
            testcapi.set_nomemory(allocation, allocation + 1)
            try:
                call(scanner)
            except MemoryError:
                failed.append(allocation)
            finally:
                testcapi.remove_mem_hooks()
            assert scanner.feed(other) + scanner.finish() == [b"http://two.example/"], allocation
        assert failed and failed[-1] < 150, failed  # the failures fell inside the call


def test_two_threads_give_what_one_gives():
    pages = python_pages.pages(400, random_start=5) + python_pages.pages(100, random_start=6, make=python_pages.tricky)
    # Pages of 16 KiB and more are scanned with the GIL let go, the others under it.
    pages += [b"".join(pages[at:at + 25]) for at in range(0, len(pages), 25)]
    alone, start = [quillon.links(page, [b"yahoo"]) for page in pages], threading.Barrier(2)

    def run(_):
        start.wait()
        scanner = quillon.Scanner([b"yahoo"])
        return [quillon.links(page, [b"yahoo"]) for page in pages] + [
            scanner.feed(p[:len(p) // 3]) + scanner.feed(p[len(p) // 3:]) + scanner.finish() for p in pages]

    with ThreadPoolExecutor(2) as pool:
        assert list(pool.map(run, range(2))) == [alone + alone] * 2
