"""Builds the Python module quillon with setuptools and pybind11 (pip install ., python3 -m build).

The CMake build makes the same module; this one exists so that pip can install it into any
environment. The version is the one in project() of CMakeLists.txt.
"""

import re
from pathlib import Path

from pybind11.setup_helpers import Pybind11Extension, build_ext
from setuptools import setup

ROOT = Path(__file__).resolve().parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    found = re.search(r"project\(\s*quillon\s+VERSION\s+([0-9.]+)", text)
    if found is None:
        raise RuntimeError("CMakeLists.txt: no project(quillon VERSION ...)")
    return found.group(1)


def engine_sources():
    lines = (ROOT / "python" / "engine_sources.txt").read_text(encoding="utf-8").splitlines()
    return [line for line in lines if line and not line.startswith("#")]


VERSION = project_version()

module = Pybind11Extension(
    "quillon._quillon",
    sorted(str(path.relative_to(ROOT)) for path in (ROOT / "python" / "src").glob("*.cpp"))
    + engine_sources()
    + sorted(str(path.relative_to(ROOT)) for path in (ROOT / "warc").glob("*.cpp")),
    include_dirs=[str(ROOT)],
    # The web-archive reader's inflaters (Debian: libdeflate-dev, libbrotli-dev, zlib1g-dev).
    libraries=["deflate", "brotlidec", "z"],
    define_macros=[("QUILLON_VERSION", f'"{VERSION}"')],
    cxx_std=20,
    # On pages dense with anchors, calls between the engine's files cost as much as the scan.
    extra_compile_args=["-flto"],
    extra_link_args=["-flto"],
)

setup(version=VERSION, ext_modules=[module], cmdclass={"build_ext": build_ext})
