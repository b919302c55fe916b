"""What the Python tests share: the module under test (the one the build made, checked before
anything runs), the quillon tool, the shared case table and the page generator."""

import os
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "bench"))

import quillon  # noqa: E402

TOOL = os.environ.get("QUILLON_TOOL", str(ROOT / "build/native/cli/quillon"))


def pytest_sessionstart(session):
    expected = os.environ.get("QUILLON_MODULE_DIR")
    imported = os.path.dirname(os.path.realpath(quillon.__file__))
    if expected and imported != os.path.realpath(expected):
        raise pytest.UsageError(f"imported quillon from {imported}, not from {expected}")


def tool_links(page_file, exclude=()):
    """The records the tool writes for the page in page_file, without their CR LF."""
    run = subprocess.run([TOOL, "-q", str(page_file), "-", *exclude], capture_output=True, check=True)
    return records(run.stdout)


def records(output):
    assert output == b"" or output.endswith(b"\r\n")
    return output.split(b"\r\n")[:-1]


def case_table():
    """(name, page, keywords, records) of every shared case."""
    table = subprocess.run([os.environ.get("QUILLON_CASE_TABLE", "case_table")],
                           capture_output=True, check=True).stdout
    fields, at = [], 0
    while at < len(table):
        colon = table.index(b":", at)
        length = int(table[at:colon])
        fields.append(table[colon + 1:colon + 1 + length])
        at = colon + 1 + length
    return [(fields[i].decode(), fields[i + 1], fields[i + 2:i + 8], records(fields[i + 8]))
            for i in range(0, len(fields), 9)]
