"""The module's build against the project: version, type stubs."""

import ast
import inspect
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
    # Each function the stubs name has their parameters and defaults, as help() shows them.
    defs = [(quillon, node) for node in stub.body if isinstance(node, ast.FunctionDef)]
    defs += [(quillon.Scanner, node) for node in scanner.body if isinstance(node, ast.FunctionDef)]
    for owner, node in defs:
        real = inspect.getattr_static(owner, node.name)
        real = real.fget if isinstance(real, property) else real
        stubbed = [(arg.arg, i >= len(node.args.args) - len(node.args.defaults)) for i, arg in enumerate(node.args.args)]
        assert [(name, parameter.default is not parameter.empty)
                for name, parameter in inspect.signature(real).parameters.items()] == stubbed, node.name
