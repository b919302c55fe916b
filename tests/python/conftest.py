"""What the Python tests share: the module under test (the one the build made, checked before
anything runs), the quillon tool, the shared case table, the page generator and a web archive
wget wrote."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "bench"))
TOOL = os.environ.get("QUILLON_TOOL", str(ROOT / "build/native/cli/quillon"))

import quillon  # noqa: E402

sys.path.insert(0, str(ROOT / "tests/warc"))
import page_server  # noqa: E402
import warc_test  # noqa: E402


def pytest_sessionstart(session):
    expected, imported = os.environ.get("QUILLON_MODULE_DIR"), Path(quillon.__file__).resolve().parent
    if expected and imported != Path(expected).resolve():
        raise pytest.UsageError(f"imported quillon from {imported}, not from {expected}")


def records(output):
    assert output == b"" or output.endswith(b"\r\n")
    return output.split(b"\r\n")[:-1]


def tool_links(page_file, exclude=()):
    """The records the tool writes for the page in page_file, without their CR LF."""
    return records(subprocess.run([TOOL, "-q", page_file, "-", *exclude], capture_output=True, check=True).stdout)


def case_table():
    """(name, page, keywords, records) of every shared case, from fields written as length:bytes."""
    table, fields = subprocess.run([os.environ["QUILLON_CASE_TABLE"]], capture_output=True, check=True).stdout, []
    while table:
        length, _, table = table.partition(b":")
        fields.append(table[:int(length)])
        table = table[int(length):]
    return [(fields[i].decode(), fields[i + 1], fields[i + 2:i + 8], records(fields[i + 8]))
            for i in range(0, len(fields), 9)]


@pytest.fixture(scope="module")
def archive(tmp_path_factory):
    """(stored bytes, [(start, end, inflated)] of its members): the archive wget writes of the
    WARC tests' site, one gzip member per record."""
    if not shutil.which("wget") or "QUILLON_BROTLI_ENCODER" not in os.environ:
        pytest.skip("no wget, or no brotli encoder of tests/warc")
    folder = tmp_path_factory.mktemp("warc")
    stored = warc_test.make_archive(str(folder), page_server.Site(os.environ["QUILLON_BROTLI_ENCODER"]))
    return stored, warc_test.members(stored)
