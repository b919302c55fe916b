#pragma once
// quillon.Scanner: a page fed in chunks, its records handed back as they are completed.
#include <memory>

#include <pybind11/pybind11.h>

#include "library/engine.h"
#include "python/src/record_list.h"

namespace quillon_python {

class Scanner {
 public:
  explicit Scanner(pybind11::handle exclude);

  // The records completed by `chunk` (bytes-like).
  pybind11::list Feed(pybind11::handle chunk);
  // The page's last records; the scanner is then ready for a new page.
  pybind11::list Finish();
  // Drops the page fed so far.
  void Reset();
  // The end of a with block: the scanner takes no more bytes. Raises RuntimeError when the
  // block ended normally with records possibly still held back (finish() not called).
  void Close(bool block_failed);

 private:
  // Marks the scanner busy for one call: a second thread, or a closed scanner, is refused
  // rather than let into the engine while the GIL is let go.
  class Use;

  std::unique_ptr<quillon::Engine> engine_;
  RecordList records_;
  bool busy_ = false;
  bool closed_ = false;
  // Bytes were fed since the last finish() or reset().
  bool page_open_ = false;
};

}  // namespace quillon_python
