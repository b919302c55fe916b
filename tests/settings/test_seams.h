#pragma once
// What the settings tests need from the platform beneath the library, on Linux through the
// run-time stand-in's hooks and on Windows by patching the test program's own imports.
#include <string>
#include <vector>

namespace quillon_test {

struct Box {
  std::string caption;  // code page 932 bytes, as shown
  std::string text;
  unsigned style;
  void* owner;
};

// Records every message box shown while it lives (answering Yes) instead of showing it.
class BoxRecorder {
 public:
  BoxRecorder();
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  const std::vector<Box>& Boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  std::vector<Box> boxes_;
};

// While it lives, low-level writes succeed `allowed` more times and then all fail (-1).
class FailingWrites {
 public:
  explicit FailingWrites(int allowed);
  ~FailingWrites();
  FailingWrites(const FailingWrites&) = delete;
  FailingWrites& operator=(const FailingWrites&) = delete;
  // Writes that were attempted, failed ones included.
  int Attempts() const;
};

// While it lives, low-level reads succeed `allowed` more times and then all fail (-1).
class FailingReads {
 public:
  explicit FailingReads(int allowed);
  ~FailingReads();
  FailingReads(const FailingReads&) = delete;
  FailingReads& operator=(const FailingReads&) = delete;
  int Attempts() const;
};

// The folder of the running test program, with a trailing separator.
std::string OwnDirectory();

}  // namespace quillon_test
