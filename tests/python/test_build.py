"""The module's build against the project: version, type stubs."""

import ast
import re
from pathlib import Path

from conftest import ROOT

import quillon


def test_version_is_the_projects():
    assert quillon.__version__ == re.search(r"project\(quillon VERSION ([0-9.]+)",
                                            (ROOT / "CMakeLists.txt").read_text()).group(1)


def test_stubs_name_what_the_module_has():
    package = Path(quillon.__file__).parent
    stub = ast.parse((package / "__init__.pyi").read_text())
    named = {getattr(node, "name", None) or getattr(getattr(node, "target", None), "id", None) for node in stub.body}
    assert (package / "py.typed").exists() and named - {None} == set(quillon.__all__)
    scanner = next(node for node in stub.body if getattr(node, "name", "") == "Scanner")
    assert {node.name for node in scanner.body} - {"__init__"} <= set(dir(quillon.Scanner))
