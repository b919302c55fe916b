#pragma once
// The run's input file, one byte at a time.
//
// In plain mode every byte is one _read of the handle and moving back is one _lseek. In block
// mode bytes arrive in large reads and moving back happens inside the block; what each byte,
// each end-of-file test and each move back gives is the same as in plain mode. A file that
// cannot seek is always read in plain mode, since only there does moving back fail as it must.
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "library/io_mode.h"

namespace quillon {

class InputReader {
 public:
  static constexpr int kNoByte = -1;

  // Starts reading `handle`, positioned at the start of its file.
  void Start(int handle, IoMode mode);

  // The next byte (0 to 255), or kNoByte when none came: then Ended() or Failed() says why.
  int ReadByte() { return next_ < end_ ? buffer_[next_++] : Refill(); }
  // Whether the read that gave kNoByte met the end of the file.
  bool Ended() const { return ended_; }

  // What _eof says of the handle at the position of the next byte; -1 from the first failed
  // read on, and 1 right after a read that met the end, so that a file whose reads fail or
  // end early always ends the run.
  int Eof() {
    if (failed_) return -1;
    return next_ < end_ ? 0 : EofOfFile();
  }

  // Moves the position back by `count` bytes, as _lseek(handle, -count, SEEK_CUR) would; if
  // that would fail, the position stays.
  void MoveBack(int count);

  // Block mode: the next `count` bytes when they are in the block with at least one more
  // after them (so an end-of-file test after them says 0), else null. Plain mode: null.
  const unsigned char* Ahead(int count) const {
    return !plain_ && !failed_ && end_ - next_ > count ? buffer_ + next_ : nullptr;
  }
  // Takes `count` bytes that Ahead() has shown.
  void Advance(int count) { next_ += count; }
  // Block mode: takes the bytes before the next `wanted` byte in the block, and that byte
  // too when it is there. Sets `taken` to the bytes before it and returns whether it was
  // found; false with nothing taken in plain mode or at the end of the block.
  bool TakeUntil(unsigned char wanted, const unsigned char*& taken, int& count);

  // Block mode, for a scan that makes an attempt of `span` bytes at each `wanted` byte and,
  // when the attempt fails, moves back `span` - 1: while the next `wanted` byte in the block
  // has more than `span` bytes after it and `fails` says its attempt fails on them, takes it
  // and the byte after it, which is all such an attempt comes to. Returns the last byte the
  // last attempt passed over read, or -1 when none was passed over. Where it stops at a
  // `wanted` byte whose attempt may succeed, it takes that byte as TakeThrough would and sets
  // `took_wanted`. When the rest of the block holds no `wanted` byte, passes over all of it
  // but its last byte, as TakeThrough does. Plain mode: -1, nothing taken.
  template <typename Fails>
  int PassFailedAttempts(unsigned char wanted, int span, Fails fails, bool& took_wanted) {
    int last = -1;
    took_wanted = false;
    if (plain_ || failed_) return last;
    // A `wanted` byte at `limit` or later has too few bytes after it in the block.
    const int limit = end_ - span - 1;
    int from = next_;
#ifdef __SSE2__
    // Sixteen bytes at a time where "<" stand close together, as in most of a page; memchr
    // takes the long jumps over stretches without one.
    const __m128i pattern = _mm_set1_epi8(static_cast<char>(wanted));
    int empty_chunks = 0;
    while (from + 16 <= end_) {
      __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer_ + from));
      unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, pattern)));
      if (mask == 0) {
        from += 16;
        if (++empty_chunks < 4) continue;
        empty_chunks = 0;
        const void* found = std::memchr(buffer_ + from, wanted, static_cast<size_t>(end_ - from));
        if (found == nullptr) return PassAllButLast(last);
        from = static_cast<int>(static_cast<const unsigned char*>(found) - buffer_);
        continue;
      }
      empty_chunks = 0;
      for (; mask != 0; mask &= mask - 1) {
        int at = from + __builtin_ctz(mask);
        if (at < next_) continue;  // the byte after a failed attempt's "<" is never looked at
        if (at >= limit) return last;
        if (!fails(buffer_ + at + 1)) return TakeWanted(at, took_wanted, last);
        last = buffer_[at + span];
        next_ = at + 2;
      }
      from += 16;
    }
    if (from < next_) from = next_;
#endif
    for (;;) {
      const void* found = std::memchr(buffer_ + from, wanted, static_cast<size_t>(end_ - from));
      if (found == nullptr) return PassAllButLast(last);
      int at = static_cast<int>(static_cast<const unsigned char*>(found) - buffer_);
      if (at >= limit) return last;
      if (!fails(buffer_ + at + 1)) return TakeWanted(at, took_wanted, last);
      last = buffer_[at + span];
      next_ = from = at + 2;
    }
  }

  // Block mode, for a caller that reads byte by byte up to `wanted`, testing for the end
  // after each other byte: takes the bytes up to and including the next `wanted` in the
  // block and returns true; without one, passes over all but the block's last byte and
  // returns false. Every byte passed over has one after it, so its end test would say 0.
  // Plain mode: does nothing, returns false.
  bool TakeThrough(unsigned char wanted);

 private:
#ifdef QUILLON_INPUT_BLOCK_SIZE
  // Fuzzing builds read in small blocks, so that small pages cross block boundaries.
  static constexpr int kBlockSize = QUILLON_INPUT_BLOCK_SIZE;
#else
  static constexpr int kBlockSize = 128 * 1024;
#endif
  // Enough bytes kept from the previous block to move back over a whole anchor attempt.
  static constexpr int kKeptBytes = 64;

  int Refill();
  int EofOfFile();
  int TakeWanted(int at, bool& took_wanted, int last) {
    next_ = at + 1;
    took_wanted = true;
    return last;
  }
  int PassAllButLast(int last) {
    if (end_ - next_ >= 2) next_ = end_ - 1;
    return last;
  }

  int handle_ = -1;
  bool plain_ = true;
  bool ended_ = false;
  bool failed_ = false;
  long long base_ = 0;  // file offset of buffer_[0]
  int next_ = 0;
  int end_ = 0;
  unsigned char buffer_[kKeptBytes + kBlockSize];
};

// The reader of the current run.
extern InputReader RunInput;
inline InputReader& Input() {
  return RunInput;
}

}  // namespace quillon
