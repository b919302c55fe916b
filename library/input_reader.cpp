#include "library/input_reader.h"

#include <cstring>

#include "library/platform.h"

namespace quillon {

InputReader& Input() {
  static InputReader reader;
  return reader;
}

void InputReader::Start(int handle, IoMode mode) {
  handle_ = handle;
  plain_ = mode == IoMode::Plain || _lseek(handle, 0, SEEK_CUR) == -1;
  ended_ = false;
  failed_ = false;
  base_ = 0;
  next_ = 0;
  end_ = 0;
}

int InputReader::Refill() {
  int keep = plain_ ? 0 : (end_ < kKeptBytes ? end_ : kKeptBytes);
  if (keep > 0) std::memmove(buffer_, buffer_ + end_ - keep, static_cast<size_t>(keep));
  base_ += end_ - keep;
  next_ = end_ = keep;
  int got = _read(handle_, buffer_ + keep, plain_ ? 1u : static_cast<unsigned>(kBlockSize));
  ended_ = got == 0;
  if (got < 0) {
    failed_ = true;
    return kNoByte;
  }
  if (got == 0) return kNoByte;
  end_ += got;
  return buffer_[next_++];
}

int InputReader::Eof() {
  if (failed_) return -1;
  if (next_ < end_) return 0;
  return _eof(handle_);
}

void InputReader::MoveBack(int count) {
  long long target = base_ + next_ - count;
  if (target < 0) return;  // seeking before the start fails and leaves the position
  if (target >= base_ && !plain_) {
    next_ -= count;
    return;
  }
  // Outside the block (always, in plain mode): seek the handle itself.
  long behind = static_cast<long>(end_ - next_);
  if (_lseek(handle_, -behind - count, SEEK_CUR) == -1) return;
  base_ = target;
  next_ = end_ = 0;
}

void InputReader::SkipToward(unsigned char wanted) {
  if (plain_ || end_ - next_ < 2) return;
  const unsigned char* from = buffer_ + next_;
  const void* found = std::memchr(from, wanted, static_cast<size_t>(end_ - 1 - next_));
  next_ = found != nullptr ? static_cast<int>(static_cast<const unsigned char*>(found) - buffer_)
                           : end_ - 1;
}

}  // namespace quillon

namespace quillon {

bool InputReader::TakeUntil(unsigned char wanted, const unsigned char*& taken, int& count) {
  taken = buffer_ + next_;
  count = 0;
  if (plain_ || next_ >= end_) return false;
  const void* found = std::memchr(taken, wanted, static_cast<size_t>(end_ - next_));
  if (found == nullptr) {
    count = end_ - next_;
    next_ = end_;
    return false;
  }
  count = static_cast<int>(static_cast<const unsigned char*>(found) - taken);
  next_ += count + 1;
  return true;
}

}  // namespace quillon
