#include "python/src/scanner.h"

#include "python/src/exclusions.h"
#include "python/src/fixed_classes.h"
#include "python/src/page_bytes.h"
#include "python/src/unlocked_scan.h"

namespace quillon_python {

class Scanner::Use {
 public:
  explicit Use(Scanner& scanner) : scanner_(scanner) {
    if (scanner.closed_) {
      PyErr_SetString(PyExc_ValueError, "the Scanner is closed");
      throw pybind11::error_already_set();
    }
    if (scanner.busy_) {
      PyErr_SetString(PyExc_RuntimeError, "the Scanner is in use by another thread");
      throw pybind11::error_already_set();
    }
    scanner.busy_ = true;
  }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;
  ~Use() { scanner_.busy_ = false; }

 private:
  Scanner& scanner_;
};

Scanner::Scanner(pybind11::handle exclude) {
  Exclusions exclusions(exclude);
  engine_ = std::make_unique<quillon::Engine>(exclusions.texts(), FixedClasses());
}

pybind11::list Scanner::Feed(pybind11::handle chunk) {
  Use use(*this);
  PageBytes bytes(chunk, "a chunk");
  if (bytes.size() > 0) {
    page_open_ = true;
    UnlockedScan(bytes.size(), [&] { engine_->Feed(bytes.data(), bytes.size(), records_); });
  }
  if (records_.lost()) {
    // The page cannot be given back whole: start afresh rather than go on with a gap.
    engine_->Reset();
    page_open_ = false;
  }
  return records_.Take();
}

pybind11::list Scanner::Finish() {
  Use use(*this);
  engine_->Finish();
  engine_->Reset();
  page_open_ = false;
  return records_.Take();
}

void Scanner::Reset() {
  Use use(*this);
  engine_->Reset();
  records_.Clear();
  page_open_ = false;
}

void Scanner::Close(bool block_failed) {
  Use use(*this);
  closed_ = true;
  if (page_open_ && !block_failed) {
    PyErr_SetString(PyExc_RuntimeError,
                    "the Scanner's block ended with a page not finished: call finish() for its "
                    "last addresses, or reset() to drop it");
    throw pybind11::error_already_set();
  }
}

}  // namespace quillon_python
