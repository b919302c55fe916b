#include "python/src/hyperlink_functions.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "library/hyperlinks/hyperlink_engine.h"

namespace py = pybind11;

namespace quillon_python {
namespace {

// Pages and chunks smaller than this take less time than handing over the GIL.
constexpr size_t kUnlockedSize = 16 * 1024;
constexpr size_t kFileBlock = 256 * 1024;

// The links of a page, kept while the GIL is let go and made str once it is held again.
class LinkList final : public quillon::RecordSink {
 public:
  void Record(const char* address, size_t length) override {
    bytes_.append(address, length);
    ends_.push_back(bytes_.size());
  }
  py::list Take() {
    py::list links(ends_.size());
    size_t start = 0;
    for (size_t i = 0; i < ends_.size(); ++i) {
      // A serialized URL is ASCII.
      PyObject* link = PyUnicode_DecodeASCII(bytes_.data() + start,
                                             static_cast<Py_ssize_t>(ends_[i] - start), "strict");
      if (link == nullptr) throw py::error_already_set();
      PyList_SET_ITEM(links.ptr(), static_cast<Py_ssize_t>(i), link);
      start = ends_[i];
    }
    bytes_.clear();
    ends_.clear();
    return links;
  }

 private:
  std::string bytes_;
  std::vector<size_t> ends_;
};

// The engine's options; the texts stay valid while the arguments live.
quillon::HyperlinkOptions OptionsOf(py::handle base, py::handle keywords, bool all_schemes,
                                    py::handle encoding) {
  quillon::HyperlinkOptions options;
  if (!base.is_none()) options.page_url = py::cast<std::string_view>(base);
  if (!encoding.is_none()) options.charset = py::cast<std::string_view>(encoding);
  options.all_schemes = all_schemes;
  if (!PyTuple_Check(keywords.ptr()) ||
      PyTuple_GET_SIZE(keywords.ptr()) > static_cast<Py_ssize_t>(options.keywords.size())) {
    throw py::value_error("the keywords are a tuple of at most six bytes objects");
  }
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(keywords.ptr()); ++i) {
    PyObject* keyword = PyTuple_GET_ITEM(keywords.ptr(), i);
    if (!PyBytes_Check(keyword)) throw py::type_error("a keyword is bytes here");
    options.keywords[static_cast<size_t>(i)] = {PyBytes_AS_STRING(keyword),
                                                static_cast<size_t>(PyBytes_GET_SIZE(keyword))};
  }
  return options;
}

// The engine is too big for a thread's stack.
std::unique_ptr<quillon::HyperlinkEngine> MakeEngine(const quillon::HyperlinkOptions& options) {
  try {
    return std::make_unique<quillon::HyperlinkEngine>(options);
  } catch (const std::invalid_argument&) {
    if (!options.charset.empty() && !quillon::encoding::ForLabel(options.charset)) {
      throw py::value_error("encoding '" + std::string(options.charset) +
                            "' is no label of the Encoding Standard");
    }
    throw py::value_error("base '" + std::string(options.page_url) + "' is not an absolute URL");
  }
}

// Feeds `size` bytes, the GIL let go when there are many.
void FeedUnlocked(quillon::HyperlinkEngine& engine, const unsigned char* bytes, size_t size,
                  LinkList& links) {
  if (size < kUnlockedSize) return engine.Feed(bytes, size, links);
  py::gil_scoped_release unlocked;
  engine.Feed(bytes, size, links);
}

py::list Hyperlinks(py::buffer data, py::handle base, py::handle keywords, bool all_schemes,
                    py::handle encoding) {
  py::buffer_info page = data.request();
  auto engine = MakeEngine(OptionsOf(base, keywords, all_schemes, encoding));
  LinkList links;
  FeedUnlocked(*engine, static_cast<const unsigned char*>(page.ptr),
               static_cast<size_t>(page.size * page.itemsize), links);
  engine->Finish(links);
  return links.Take();
}

// Raises OSError naming the file when it cannot be opened or read.
py::list HyperlinksOfFile(py::handle name, py::handle base, py::handle keywords, bool all_schemes,
                          py::handle encoding) {
  PyObject* encoded_raw = nullptr;
  if (PyUnicode_FSConverter(name.ptr(), &encoded_raw) == 0) throw py::error_already_set();
  auto encoded = py::reinterpret_steal<py::bytes>(encoded_raw);
  auto engine = MakeEngine(OptionsOf(base, keywords, all_schemes, encoding));
  auto block = std::make_unique_for_overwrite<unsigned char[]>(kFileBlock);
  LinkList links;
  int error = 0;
  {
    py::gil_scoped_release unlocked;
    int page = open(PyBytes_AS_STRING(encoded.ptr()), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (page == -1) error = errno;
    while (page != -1) {
      ssize_t got = read(page, block.get(), kFileBlock);
      if (got > 0) {
        engine->Feed(block.get(), static_cast<size_t>(got), links);
        continue;
      }
      if (got < 0 && errno == EINTR) {
        // Ctrl-C is heard also on a file that never ends (a device, a pipe).
        py::gil_scoped_acquire locked;
        if (PyErr_CheckSignals() == 0) continue;
        error = EINTR;
      } else if (got < 0) {
        error = errno;
      }
      close(page);
      page = -1;
    }
    if (error == 0) engine->Finish(links);
  }
  if (PyErr_Occurred() != nullptr) throw py::error_already_set();
  if (error != 0) {
    errno = error;
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.ptr());
    throw py::error_already_set();
  }
  return links.Take();
}

// A scanner: its engine and the links found and not yet handed back.
struct HyperlinkScanner {
  std::unique_ptr<quillon::HyperlinkEngine> engine;
  LinkList links;
  // In a call: a second thread, which the GIL let go lets in, is refused.
  bool busy = false;
};

// Marks the scanner busy for one call.
class Use {
 public:
  explicit Use(HyperlinkScanner& scanner) : scanner_(scanner) {
    if (scanner.busy) throw std::runtime_error("the HyperlinkScanner is in use by another thread");
    scanner.busy = true;
  }
  ~Use() { scanner_.busy = false; }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;

 private:
  HyperlinkScanner& scanner_;
};

constexpr const char* kScannerName = "quillon._quillon.HyperlinkScanner";

HyperlinkScanner& ScannerOf(py::handle capsule) {
  if (!PyCapsule_IsValid(capsule.ptr(), kScannerName)) {
    throw py::type_error("not a scanner of quillon._quillon.hyperlink_scanner_new");
  }
  return *static_cast<HyperlinkScanner*>(PyCapsule_GetPointer(capsule.ptr(), kScannerName));
}

py::capsule NewScanner(py::handle base, py::handle keywords, bool all_schemes,
                       py::handle encoding) {
  auto scanner = std::make_unique<HyperlinkScanner>();
  scanner->engine = MakeEngine(OptionsOf(base, keywords, all_schemes, encoding));
  py::capsule capsule(scanner.get(), kScannerName, [](PyObject* made) {
    delete static_cast<HyperlinkScanner*>(PyCapsule_GetPointer(made, kScannerName));
  });
  scanner.release();
  return capsule;
}

}  // namespace

void AddHyperlinkFunctions(py::module_& module) {
  module.def("hyperlinks", &Hyperlinks, py::arg("data"), py::arg("base"), py::arg("keywords"),
             py::arg("all_schemes"), py::arg("encoding"));
  module.def("hyperlinks_of_file", &HyperlinksOfFile, py::arg("name"), py::arg("base"),
             py::arg("keywords"), py::arg("all_schemes"), py::arg("encoding"));
  module.def("hyperlink_scanner_new", &NewScanner, py::arg("base"), py::arg("keywords"),
             py::arg("all_schemes"), py::arg("encoding"));
  module.def("hyperlink_scanner_feed", [](py::handle capsule, py::buffer chunk) {
    HyperlinkScanner& scanner = ScannerOf(capsule);
    Use use(scanner);
    py::buffer_info bytes = chunk.request();
    FeedUnlocked(*scanner.engine, static_cast<const unsigned char*>(bytes.ptr),
                 static_cast<size_t>(bytes.size * bytes.itemsize), scanner.links);
    return scanner.links.Take();
  });
  module.def("hyperlink_scanner_finish", [](py::handle capsule) {
    HyperlinkScanner& scanner = ScannerOf(capsule);
    Use use(scanner);
    scanner.engine->Finish(scanner.links);
    return scanner.links.Take();
  });
  module.def("hyperlink_scanner_reset", [](py::handle capsule) {
    HyperlinkScanner& scanner = ScannerOf(capsule);
    Use use(scanner);
    scanner.engine->Reset();
    scanner.links.Take();
  });
}

}  // namespace quillon_python
