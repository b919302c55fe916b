// quillon._quillon: the native work of the package quillon, which checks the arguments, holds
// the documentation and is what callers use. Here the engine runs, with the GIL let go where
// that pays.
#include <pybind11/pybind11.h>

#include <fcntl.h>

#include <cerrno>
#include <memory>

#include "library/engine.h"
#include "library/page_file.h"
#include "python/src/archive_pages.h"
#include "python/src/engine_settings.h"
#include "python/src/hyperlink_functions.h"
#include "python/src/page_link_finder.h"
#include "python/src/page_bytes.h"
#include "python/src/record_list.h"
#include "python/src/scanner.h"

#ifndef QUILLON_VERSION
#error "QUILLON_VERSION must be the project's version"
#endif

namespace py = pybind11;

namespace quillon_python {
namespace {

// Large enough that a block costs far more than taking the GIL back between blocks.
constexpr size_t kFileBlock = 256 * 1024;

// The records of the page `data` (bytes-like).
py::list Links(py::handle data, py::handle keywords) {
  PageBytes page(data);
  const quillon::KeywordTexts texts = KeywordTextsOf(keywords);
  RecordList records;
  // The page stays held by `page` while other threads run.
  UnlockedScan(page.size(), [&] {
    quillon::Engine engine(texts, FixedClasses());
    engine.Feed(page.data(), page.size(), records);
    engine.Finish();
  });
  return records.Take();
}

// The records of the page in the file `name` (str or bytes). Raises OSError naming it when it
// cannot be opened or read.
py::list LinksOfFile(py::handle name, py::handle keywords) {
  PyObject* encoded_raw = nullptr;
  if (PyUnicode_FSConverter(name.ptr(), &encoded_raw) == 0) throw py::error_already_set();
  auto encoded = py::reinterpret_steal<py::bytes>(encoded_raw);
  quillon::Engine engine(KeywordTextsOf(keywords), FixedClasses());
  RecordList records;
  quillon::PageFile<> file(engine, kFileBlock);
  // Between blocks, and when a signal cuts a read short, Ctrl-C is heard, also on a file that
  // never ends (a device, a pipe).
  auto hear_signals = [] {
    py::gil_scoped_acquire locked;
    return PyErr_CheckSignals() == 0;
  };
  int error = 0;
  bool read = false;
  {
    py::gil_scoped_release unlocked;
    read = file.Open(PyBytes_AS_STRING(encoded.ptr()), error, hear_signals) &&
           file.FeedAll(records, error, hear_signals);
  }
  if (PyErr_Occurred() != nullptr) throw py::error_already_set();
  if (!read) {
    errno = error;
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.ptr());
    throw py::error_already_set();
  }
  return records.Take();
}

// A Scanner reaches Python as a capsule: unlike an instance of a bound class, which
// Scanner.__new__ alone would leave unmade, a capsule exists only around a made scanner.
constexpr const char* kScannerName = "quillon._quillon.Scanner";

py::capsule NewScanner(py::handle keywords) {
  auto scanner = std::make_unique<Scanner>(keywords);
  py::capsule capsule(scanner.get(), kScannerName, [](PyObject* made) {
    delete static_cast<Scanner*>(PyCapsule_GetPointer(made, kScannerName));
  });
  scanner.release();
  return capsule;
}

Scanner& ScannerOf(py::handle capsule) {
  if (!PyCapsule_IsValid(capsule.ptr(), kScannerName)) {
    throw py::type_error("not a scanner of quillon._quillon.scanner_new");
  }
  return *static_cast<Scanner*>(PyCapsule_GetPointer(capsule.ptr(), kScannerName));
}

// An archive's pages reach Python as a capsule too; quillon/__init__.py wraps it in a
// generator.
constexpr const char* kArchiveName = "quillon._quillon.ArchivePages";

// The archive in the file `name` (str or bytes), read through `finder`. Raises OSError naming
// it when it cannot be opened.
py::capsule OpenArchive(py::handle name, std::unique_ptr<PageLinkFinder> finder) {
  PyObject* encoded_raw = nullptr;
  if (PyUnicode_FSConverter(name.ptr(), &encoded_raw) == 0) throw py::error_already_set();
  auto encoded = py::reinterpret_steal<py::bytes>(encoded_raw);
  int descriptor = -1;
  {
    py::gil_scoped_release unlocked;
    descriptor = open(PyBytes_AS_STRING(encoded.ptr()), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  }
  if (descriptor == -1) {
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.ptr());
    throw py::error_already_set();
  }
  auto pages = std::make_unique<ArchivePages>(descriptor, std::move(finder));
  py::capsule capsule(pages.get(), kArchiveName, [](PyObject* made) {
    delete static_cast<ArchivePages*>(PyCapsule_GetPointer(made, kArchiveName));
  });
  pages.release();
  return capsule;
}

py::capsule OpenClassicArchive(py::handle name, py::handle keywords) {
  return OpenArchive(name, std::make_unique<ClassicLinkFinder>(KeywordTextsOf(keywords)));
}

py::capsule OpenHyperlinkArchive(py::handle name, py::handle keywords, bool all_schemes) {
  quillon::HyperlinkOptions options;
  options.keywords = KeywordTextsOf(keywords);
  options.all_schemes = all_schemes;
  return OpenArchive(name, std::make_unique<HyperlinkFinder>(options));
}

ArchivePages& ArchiveOf(py::handle capsule) {
  if (!PyCapsule_IsValid(capsule.ptr(), kArchiveName)) {
    throw py::type_error("not an archive of quillon._quillon.warc_open");
  }
  return *static_cast<ArchivePages*>(PyCapsule_GetPointer(capsule.ptr(), kArchiveName));
}

}  // namespace
}  // namespace quillon_python

PYBIND11_MODULE(_quillon, module) {
  using quillon_python::ScannerOf;
  module.doc() = "The extraction engine, for the package quillon; use that.";
  module.attr("__version__") = QUILLON_VERSION;
  quillon_python::AddHyperlinkFunctions(module);
  module.def("links", &quillon_python::Links, py::arg("data"), py::arg("keywords"));
  module.def("links_of_file", &quillon_python::LinksOfFile, py::arg("name"), py::arg("keywords"));
  module.def("scanner_new", &quillon_python::NewScanner, py::arg("keywords"));
  module.def("scanner_feed",
             [](py::handle scanner, py::handle chunk) { return ScannerOf(scanner).Feed(chunk); });
  module.def("scanner_finish", [](py::handle scanner) { return ScannerOf(scanner).Finish(); });
  module.def("scanner_reset", [](py::handle scanner) { ScannerOf(scanner).Reset(); });
  module.def("warc_open", &quillon_python::OpenClassicArchive, py::arg("name"),
             py::arg("keywords"));
  module.def("warc_open_html", &quillon_python::OpenHyperlinkArchive, py::arg("name"),
             py::arg("keywords"), py::arg("all_schemes"));
  module.def("warc_next", [](py::handle archive, py::handle name) {
    return quillon_python::ArchiveOf(archive).Next(name);
  });
  module.def("warc_damage",
             [](py::handle archive) { return quillon_python::ArchiveOf(archive).DamageFound(); });
  module.def("scanner_page_open",
             [](py::handle scanner) { return ScannerOf(scanner).page_open(); });
}
