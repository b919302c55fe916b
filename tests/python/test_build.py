"""The module's build against the project: its version, its type stubs, and the pip build's
list of engine sources."""

import ast
import os
import re
from pathlib import Path

from conftest import ROOT

import quillon


def test_version_is_the_projects():
    project = re.search(r"project\(quillon VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text())
    assert quillon.__version__ == project.group(1)


def test_stubs_name_what_the_module_has():
    package = Path(quillon.__file__).parent
    assert (package / "py.typed").exists()
    stub = ast.parse((package / "__init__.pyi").read_text())
    named = {node.name for node in stub.body if isinstance(node, (ast.FunctionDef, ast.ClassDef))}
    named |= {node.target.id for node in stub.body if isinstance(node, ast.AnnAssign)}
    assert named == set(quillon.__all__)
    scanner = next(node for node in stub.body if getattr(node, "name", "") == "Scanner")
    methods = {node.name for node in scanner.body if isinstance(node, ast.FunctionDef)}
    assert methods - {"__init__"} <= set(dir(quillon.Scanner))


def test_pip_build_compiles_the_engines_sources():
    listed = (ROOT / "python/engine_sources.txt").read_text().split("\n")
    listed = [line for line in listed if line and not line.startswith("#")]
    assert sorted(listed) == sorted(os.environ["QUILLON_ENGINE_SOURCES"].split())
