#pragma once
// The engine under quillon.Scanner: a page fed in chunks, its records handed back as they are
// completed. quillon/__init__.py checks the arguments and owns the scanner's closing.
#include <memory>

#include <pybind11/pybind11.h>

#include "library/engine.h"
#include "python/src/record_list.h"

namespace quillon_python {

class Scanner {
 public:
  // `keywords` as KeywordTextsOf takes them.
  explicit Scanner(pybind11::handle keywords);

  // The records completed by `chunk` (bytes-like).
  pybind11::list Feed(pybind11::handle chunk);
  // The page's last records; the scanner is then ready for a new page.
  pybind11::list Finish();
  // Drops the page fed so far.
  void Reset();
  // Bytes were fed since the last finish() or reset(): their last records may still be held.
  bool page_open() const { return page_open_; }

 private:
  // Marks the scanner busy for one call: a second thread is refused rather than let into the
  // engine while the GIL is let go.
  class Use;

  // The records found so far. When they cannot be handed over, the page is dropped: its later
  // records would come without the lost ones.
  pybind11::list TakeRecords();

  std::unique_ptr<quillon::Engine> engine_;
  RecordList records_;
  bool busy_ = false;
  bool page_open_ = false;
};

}  // namespace quillon_python
