#include "library/input_reader.h"

#include <cstring>

#include "library/platform.h"

namespace quillon {

InputReader RunInput;

void InputReader::Start(int handle, IoMode mode) {
  handle_ = handle;
  // Block mode answers the end-of-file test from the bytes it holds, which is right only for
  // files whose length says where their bytes end. Anything that cannot seek, or reports no
  // length (devices, system files), is read the plain way.
  plain_ = mode == IoMode::Plain || _lseeki64(handle, 0, SEEK_END) <= 0 ||
           _lseeki64(handle, 0, SEEK_SET) != 0;
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

int InputReader::EofOfFile() {
  int answer = _eof(handle_);
  // Some files report a length their reads never reach: once a read has met the end, the
  // file has ended, whatever its length says, so that no input can keep the run going.
  if (answer == 0 && ended_) return 1;
  return answer;
}

void InputReader::MoveBack(int count) {
  long long target = base_ + next_ - count;
  if (target < 0) return;  // seeking before the start fails and leaves the position
  if (target >= base_ && !plain_) {
    next_ -= count;
    return;
  }
  // Outside the block (always, in plain mode): seek the handle itself.
  long long behind = end_ - next_;
  if (_lseeki64(handle_, -behind - count, SEEK_CUR) == -1) return;
  base_ = target;
  next_ = end_ = 0;
}

bool InputReader::TakeThrough(unsigned char wanted) {
  if (plain_ || next_ >= end_) return false;
  const void* found = std::memchr(buffer_ + next_, wanted, static_cast<size_t>(end_ - next_));
  if (found != nullptr) {
    next_ = static_cast<int>(static_cast<const unsigned char*>(found) - buffer_) + 1;
    return true;
  }
  next_ = end_ - 1;
  return false;
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
