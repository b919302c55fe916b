#pragma once
// --progress: one line on standard error, rewritten in place at most five times a second: the
// files done (archives, and their pages; or pages), the bytes read, the speed and the file
// being read.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

class ProgressLine {
 public:
  enum class Files { kArchives, kPages };

  // Shows nothing when not `enabled`. `files` is how many there are to read.
  ProgressLine(int descriptor, bool enabled, Files kind, std::uint64_t files);

  void StartFile(std::string_view name);
  // May be called on any thread (the reader's second thread reads the archive); the line is
  // only written by the thread that calls the others.
  void AddBytes(std::uint64_t bytes) { bytes_.fetch_add(bytes, std::memory_order_relaxed); }
  // A page of an archive is done.
  void AddPage() {
    ++pages_;
    Tick();
  }
  void EndFile() {
    ++files_done_;
    Tick();
  }
  // Shows the line if it is due (called as a long file is read).
  void Tick();
  // Takes the line away, before another message is written.
  void Clear();
  // The last figures, and the line ends.
  void Finish();

 private:
  void Show();

  int descriptor_;
  bool enabled_;
  Files kind_;
  std::uint64_t files_;
  std::uint64_t files_done_ = 0;
  std::uint64_t pages_ = 0;
  std::atomic<std::uint64_t> bytes_ = 0;
  std::string name_;
  double start_ = 0;
  double shown_at_ = 0;
  size_t shown_length_ = 0;
  unsigned ticks_ = 0;
};

}  // namespace cli
