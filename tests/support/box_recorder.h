#pragma once
// Records every message box shown while it lives, instead of showing it, and answers No: the
// system never uses the answer. On Linux through the run-time stand-in's presenter, on Windows
// by rewriting the test program's own import of MessageBoxA. One recorder at a time.
#include <vector>

#include "tests/cases/extraction_cases.h"

namespace testing_support {

class BoxRecorder {
 public:
  BoxRecorder();
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  const std::vector<cases::Box>& boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  std::vector<cases::Box> boxes_;
};

}  // namespace testing_support
