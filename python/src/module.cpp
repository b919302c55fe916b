// quillon._quillon: the Python face of the extraction engine. The package quillon re-exports
// everything here; its documentation is what help(quillon) shows.
#include <pybind11/pybind11.h>

#include "python/src/file_links.h"
#include "python/src/hyperlink_functions.h"
#include "python/src/page_links.h"
#include "python/src/scanner.h"

#ifndef QUILLON_VERSION
#error "QUILLON_VERSION must be the project's version"
#endif

namespace py = pybind11;
using quillon_python::Scanner;

PYBIND11_MODULE(_quillon, module) {
  // The signatures below name the types a caller may pass, which pybind11 cannot tell.
  py::options options;
  options.disable_function_signatures();

  module.doc() = "The extraction engine; use it through the package quillon.";
  module.attr("__version__") = QUILLON_VERSION;
  quillon_python::AddHyperlinkFunctions(module);

  module.def("links", &quillon_python::Links, py::arg("data"), py::arg("exclude") = py::tuple(),
             R"(links(data: ReadableBuffer, exclude: Iterable[bytes | str] = ()) -> list[bytes]

The addresses of one page, in page order: each is exactly the bytes the quillon
tool writes before CR LF.

data is the whole page as a bytes-like object (bytes, bytearray, memoryview,
mmap); a str raises TypeError, since a page is bytes in its own encoding.
exclude holds up to six keywords (bytes, or str taken as UTF-8); an address
holding any of them, byte for byte, is left out. Other threads run while a page
of 16 KiB or more is scanned.)");

  module.def(
      "links_of_file", &quillon_python::LinksOfFile, py::arg("path"),
      py::arg("exclude") = py::tuple(),
      R"(links_of_file(path: str | bytes | os.PathLike, exclude: Iterable[bytes | str] = ()) -> list[bytes]

The addresses of the page in the file at path, as links() gives them. The file
is read in blocks, so memory stays small whatever its size. Raises OSError
naming the file when it cannot be read (missing, a directory, no permission).
Other threads run while the file is read and scanned.)");

  py::class_<Scanner>(module, "Scanner", R"(Scanner(exclude: Iterable[bytes | str] = ())

A page fed in chunks of any size, such as the blocks of a download: feed()
gives back the addresses each chunk completes, finish() the rest. The addresses
are those links() gives for the whole page, however it is cut.

    with quillon.Scanner(exclude=["yahoo"]) as scanner:
        for chunk in chunks:
            found += scanner.feed(chunk)
        found += scanner.finish()

After finish() the scanner takes a new page. Leaving a with block normally with
a page fed but not finished raises RuntimeError, so that no address goes
missing unnoticed; call reset() to drop a page on purpose. A scanner serves one
thread at a time.)")
      .def(py::init<py::handle>(), py::arg("exclude") = py::tuple())
      .def("feed", &Scanner::Feed, py::arg("chunk"),
           R"(feed(chunk: ReadableBuffer) -> list[bytes]

Scans the next bytes of the page; returns the addresses completed so far and
not yet returned. chunk is a bytes-like object, as data of links(); other
threads run while a chunk of 16 KiB or more is scanned.)")
      .def("finish", &Scanner::Finish, R"(finish() -> list[bytes]

The page has ended: returns its last addresses. An anchor or address left open
at the end gives nothing. The scanner is then ready for a new page.)")
      .def("reset", &Scanner::Reset, R"(reset() -> None

Drops the page fed so far, and the addresses not yet returned.)")
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](Scanner& scanner, py::handle type, py::handle, py::handle) {
        scanner.Close(!type.is_none());
      });
}
