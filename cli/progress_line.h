#pragma once
// --progress: one line on standard error, rewritten in place at most five times a second: the
// archives and pages done, the bytes read, the speed and the file being read.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

class ProgressLine {
 public:
  // Shows nothing when not `enabled`.
  ProgressLine(int descriptor, bool enabled, std::uint64_t archives);

  void StartArchive(std::string_view name);
  // May be called on any thread (the reader's second thread reads the archive); the line is
  // only written by the thread that calls the others.
  void AddBytes(std::uint64_t bytes) { bytes_.fetch_add(bytes, std::memory_order_relaxed); }
  void AddPage() {
    ++pages_;
    Tick();
  }
  void EndArchive() { ++archives_done_; }
  // Takes the line away, before another message is written.
  void Clear();
  // The last figures, and the line ends.
  void Finish();

 private:
  void Tick();
  void Show();

  int descriptor_;
  bool enabled_;
  std::uint64_t archives_;
  std::uint64_t archives_done_ = 0;
  std::uint64_t pages_ = 0;
  std::atomic<std::uint64_t> bytes_ = 0;
  std::string name_;
  double start_ = 0;
  double shown_at_ = 0;
  size_t shown_length_ = 0;
  unsigned ticks_ = 0;
};

}  // namespace cli
