#include "library/run_input.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "library/platform.h"

namespace quillon {

void RunInput::Start(int handle, IoMode mode) {
  handle_ = handle;
  // Block mode answers the end-of-file test from the bytes it holds, which is right only for
  // files whose length says where their bytes end.
  plain_ = mode == IoMode::Plain || _lseeki64(handle, 0, SEEK_END) <= 0 ||
           _lseeki64(handle, 0, SEEK_SET) != 0;
  if (!plain_ && !block_) {
    block_.reset(new (std::nothrow) unsigned char[kPage + kKeptBytes + kBlockSize]);
    plain_ = !block_;
  }
  buffer_ = single_;
  if (!plain_) {
    // The bytes kept from the last block end where a page starts: the system copies whole
    // pages fastest.
    auto address = reinterpret_cast<std::uintptr_t>(block_.get()) + kKeptBytes;
    buffer_ = block_.get() + (kPage - address % kPage) % kPage;
  }
  ended_ = false;
  failed_ = false;
  status_ = kNothingRead;
  base_ = 0;
  next_ = 0;
  end_ = 0;
}

int RunInput::Refill() {
  std::ptrdiff_t keep = plain_ ? 0 : (end_ < kKeptBytes ? end_ : kKeptBytes);
  if (keep > 0) std::memmove(buffer_, buffer_ + end_ - keep, static_cast<size_t>(keep));
  base_ += end_ - keep;
  next_ = end_ = keep;
  int got = _read(handle_, buffer_ + keep, plain_ ? 1u : static_cast<unsigned>(kBlockSize));
  ended_ = got == 0;
  if (got < 0) {
    // A failed read delivers nothing and changes nothing; the end-of-file test reports it.
    failed_ = true;
    return kNoByte;
  }
  if (ended_) {
    Note(kEnded);
    return kNoByte;
  }
  end_ += got;
  Note(buffer_[next_]);
  return buffer_[next_++];
}

int RunInput::EofOfFile() {
  int answer = _eof(handle_);
  // Some files report a length their reads never reach: once a read has met the end, the
  // file has ended, whatever its length says, so that no input can keep the run going.
  if (answer == 0 && ended_) return 1;
  return answer;
}

void RunInput::MoveBack(int count) {
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

}  // namespace quillon
