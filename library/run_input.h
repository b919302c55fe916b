#pragma once
// The run's input file: its reader, its I/O mode, and what the reads so far would have left in
// StatusText.
//
// In plain mode every byte is one _read and moving back is one _lseek. In block mode bytes
// arrive in large reads; the window shows those not taken yet, so that the scan can take many
// at a time, and moving back happens inside the block. Every byte, end-of-file test and move
// back gives what plain mode gives.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "library/io_mode.h"

namespace quillon {

class RunInput {
 public:
  static constexpr int kNoByte = -1;
  // Status() after a read that met the end of the input.
  static constexpr int kEnded = 256;
  // Status() before anything was read.
  static constexpr int kNothingRead = -1;
  // Bytes kept from the previous block, so that moving back a little after a read that started
  // a new block stays inside the buffer.
  static constexpr int kKeptBytes = 64;

  RunInput() = default;
  RunInput(const RunInput&) = delete;
  RunInput& operator=(const RunInput&) = delete;

  // Starts reading `handle` from the start of its file. Files that cannot seek or report no
  // length are read the plain way whatever `mode` says, and so is every file when the block
  // cannot be had.
  void Start(int handle, IoMode mode);

  // The next byte (0 to 255), or kNoByte when none came: then Ended() or Failed() says why.
  int ReadByte() {
    if (next_ == end_) return Refill();
    Note(buffer_[next_]);
    return buffer_[next_++];
  }
  // Whether the read that gave kNoByte met the end of the file (a failed read did not).
  bool Ended() const { return ended_; }

  // What _eof says of the handle at the position of the next byte: -1 from the first failed
  // read on, and 1 right after a read that met the end, so that a file whose reads fail or end
  // early always ends the run.
  int Eof() {
    if (failed_) return -1;
    return next_ < end_ ? 0 : EofOfFile();
  }

  // Moves the position back by `count` bytes, as _lseek(handle, -count, SEEK_CUR) would; if
  // that would fail, the position stays.
  void MoveBack(int count);

  // The bytes read ahead and not taken yet; none in plain mode.
  const unsigned char* Window() const { return buffer_ + next_; }
  size_t WindowSize() const { return static_cast<size_t>(end_ - next_); }
  // Takes the first `count` bytes of the window, as `count` reads would, the last of which gave
  // `last_read` (which may lie further on, when the reads moved back on the way).
  void Take(size_t count, unsigned char last_read) {
    next_ += static_cast<std::ptrdiff_t>(count);
    Note(last_read);
  }

  // What StatusText would hold had every byte been read on its own: the last byte read,
  // kEnded, or kNothingRead.
  int Status() const { return status_; }
  // Changes with every read, so that the run can tell whether anything was read since a given
  // moment.
  std::uint64_t StatusSerial() const { return serial_; }

 private:
#ifdef QUILLON_INPUT_BLOCK_SIZE
  // Fuzzing builds read in small blocks, so that small pages cross block boundaries.
  static constexpr std::ptrdiff_t kBlockSize = QUILLON_INPUT_BLOCK_SIZE;
#else
  static constexpr std::ptrdiff_t kBlockSize = 128 * 1024;
#endif
  static constexpr std::ptrdiff_t kPage = 4096;

  void Note(int status) {
    status_ = status;
    ++serial_;
  }
  int Refill();
  int EofOfFile();

  int handle_ = -1;
  bool plain_ = true;
  bool ended_ = false;
  bool failed_ = false;
  int status_ = kNothingRead;
  std::uint64_t serial_ = 0;
  long long base_ = 0;  // file offset of buffer_[0]
  std::ptrdiff_t next_ = 0;
  std::ptrdiff_t end_ = 0;
  unsigned char* buffer_ = single_;
  unsigned char single_[1] = {};
  // Where the block lives; buffer_ lies inside it, placed so that reads land on whole pages.
  std::unique_ptr<unsigned char[]> block_;
};

}  // namespace quillon
