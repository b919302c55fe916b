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
    """The engine's sources, as the CMake build's object library quillon_engine lists them."""
    lines = (ROOT / "library" / "engine_sources.txt").read_text(encoding="utf-8").splitlines()
    return [f"library/{line}" for line in lines if line and not line.startswith("#")]


VERSION = project_version()

def html_rules_sources():
    """The HTML rules' engine and its pieces: every source of their folders."""
    folders = ("html", "url", "encoding", "hyperlinks")
    return sorted(str(path.relative_to(ROOT)) for folder in folders
                  for path in (ROOT / "library" / folder).glob("*.cpp"))


module = Pybind11Extension(
    "quillon._quillon",
    sorted(str(path.relative_to(ROOT)) for path in (ROOT / "python" / "src").glob("*.cpp"))
    + engine_sources() + html_rules_sources()
    + sorted(str(path.relative_to(ROOT)) for path in (ROOT / "warc").glob("*.cpp")),
    # IDNA for the URL parser (Debian: libidn2-dev); the web-archive reader's inflaters
    # (libdeflate-dev, libbrotli-dev, zlib1g-dev).
    libraries=["idn2", "deflate", "brotlidec", "z"],
    include_dirs=[str(ROOT)],
    define_macros=[("QUILLON_VERSION", f'"{VERSION}"')],
    cxx_std=20,
    # On pages dense with anchors, calls between the engine's files cost as much as the scan.
    extra_compile_args=["-flto"],
    extra_link_args=["-flto"],
)

setup(version=VERSION, ext_modules=[module], cmdclass={"build_ext": build_ext})
