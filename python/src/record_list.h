#pragma once
// The records of a page as the engine hands them over, kept while the interpreter's lock is let
// go, and turned into Python bytes once it is held again.
#include <cstddef>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "library/engine.h"

namespace quillon_python {

class RecordList final : public quillon::RecordSink {
 public:
  // Room for the records of a usual page from the start: growing by doubling cost more than
  // scanning the page.
  RecordList();

  // Never throws: the engine goes on scanning whatever happens here.
  void Record(const char* address, size_t length) override;

  // Whether a record could not be kept for want of memory.
  bool lost() const { return lost_; }
  // The records kept so far as a list of bytes, and none kept afterwards, also when it fails.
  // Needs the GIL; raises MemoryError when a record was lost or the list cannot be made.
  pybind11::list Take();
  void Clear();

  // For lists that hold the records of several pages: how many are kept, the records from
  // `first` to `last` as a list of bytes, or of str when they are ASCII (needs the GIL; raises
  // MemoryError when a record was lost), and all but the first `count` dropped.
  enum class Form { kBytes, kAscii };
  size_t size() const { return ends_.size(); }
  pybind11::list Slice(size_t first, size_t last, Form form = Form::kBytes) const;
  void Truncate(size_t count);

 private:
  std::string bytes_;
  std::vector<size_t> ends_;
  bool lost_ = false;
};

}  // namespace quillon_python
