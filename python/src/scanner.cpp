#include "python/src/scanner.h"

#include "python/src/engine_settings.h"
#include "python/src/page_bytes.h"

namespace quillon_python {

class Scanner::Use {
 public:
  explicit Use(Scanner& scanner) : scanner_(scanner) {
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

Scanner::Scanner(pybind11::handle keywords)
    : engine_(std::make_unique<quillon::Engine>(KeywordTextsOf(keywords), FixedClasses())) {}

pybind11::list Scanner::TakeRecords() {
  try {
    return records_.Take();
  } catch (...) {
    engine_->Reset();
    page_open_ = false;
    throw;
  }
}

pybind11::list Scanner::Feed(pybind11::handle chunk) {
  Use use(*this);
  PageBytes bytes(chunk);
  if (bytes.size() > 0) {
    page_open_ = true;
    UnlockedScan(bytes.size(), [&] { engine_->Feed(bytes.data(), bytes.size(), records_); });
  }
  return TakeRecords();
}

pybind11::list Scanner::Finish() {
  Use use(*this);
  engine_->Finish();
  engine_->Reset();
  page_open_ = false;
  return TakeRecords();
}

void Scanner::Reset() {
  Use use(*this);
  engine_->Reset();
  records_.Clear();
  page_open_ = false;
}

}  // namespace quillon_python
