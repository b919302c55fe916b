#pragma once
// The run's input file, read in large blocks. It also says how the page tells where it ends:
// a file that cannot seek, or reports no length, answers the end-of-file test at once, so the
// run's first attempt is its last.
#include <cstddef>
#include <memory>
#include <span>

#include "library/engine.h"

namespace quillon {

class PageReader {
 public:
  // Reads `handle` from the start of its file.
  explicit PageReader(int handle);
  PageReader(const PageReader&) = delete;
  PageReader& operator=(const PageReader&) = delete;

  Engine::Reading reading() const { return reading_; }

  // The next bytes of the page; none at its end, or once reading has failed. A read over a bad
  // spot fails as a whole, so a failed read is tried again in smaller pieces from the same
  // place: every byte before the first one that cannot be read is delivered. Two whole pieces
  // read in a row cover what failed at twice their size, and the pieces grow again.
  std::span<const unsigned char> Next();
  bool Failed() const { return failed_; }
  // What the run's end-of-file test answers when its reading is over: -1 after a failed read
  // or on a file that cannot seek.
  int EndTest() const;

 private:
#ifdef QUILLON_INPUT_BLOCK_SIZE
  // Fuzzing builds read in small blocks, so that small pages cross block boundaries.
  static constexpr unsigned kBlockSize = QUILLON_INPUT_BLOCK_SIZE;
#else
  static constexpr unsigned kBlockSize = 128 * 1024;
#endif
  static constexpr unsigned kPage = 4096;
  // Room enough for progress when the block cannot be had.
  static constexpr unsigned kSmallBlockSize = 4096;

  int handle_;
  Engine::Reading reading_;
  bool seekable_;
  bool failed_ = false;
  bool ended_ = false;
  long long position_ = 0;
  unsigned step_;
  unsigned largest_step_;
  // Whole pieces read in a row at the current step.
  int succeeded_ = 0;
  std::unique_ptr<unsigned char[]> block_;
  unsigned char* buffer_;
  unsigned char small_block_[kSmallBlockSize];
};

}  // namespace quillon
