#include "library/page_reader.h"

#include <cstdint>
#include <new>

#include "library/platform.h"

namespace quillon {

PageReader::PageReader(int handle) : handle_(handle) {
  long long length = _lseeki64(handle, 0, SEEK_END);
  seekable_ = length != -1 && _lseeki64(handle, 0, SEEK_SET) == 0;
  reading_ =
      seekable_ && length > 0 ? Engine::Reading::kStream : Engine::Reading::kFirstAttemptOnly;
  block_.reset(new (std::nothrow) unsigned char[kBlockSize + kPage]);
  if (block_) {
    // Reads that land on whole pages are copied fastest.
    auto address = reinterpret_cast<std::uintptr_t>(block_.get());
    buffer_ = block_.get() + (kPage - address % kPage) % kPage;
    step_ = kBlockSize;
  } else {
    buffer_ = small_block_;
    step_ = kSmallBlockSize;
  }
  largest_step_ = step_;
}

std::span<const unsigned char> PageReader::Next() {
  while (!failed_ && !ended_) {
    int got = _read(handle_, buffer_, step_);
    if (got > 0) {
      position_ += got;
      if (static_cast<unsigned>(got) == step_ && step_ < largest_step_ && ++succeeded_ == 2) {
        step_ *= 2;
        succeeded_ = 0;
      }
      return {buffer_, static_cast<size_t>(got)};
    }
    if (got == 0) {
      ended_ = true;
      break;
    }
    if (step_ == 1 || !seekable_ || _lseeki64(handle_, position_, SEEK_SET) != position_) {
      failed_ = true;
      break;
    }
    step_ /= 2;
    succeeded_ = 0;
  }
  return {};
}

int PageReader::EndTest() const {
  if (failed_) return -1;
  return _eof(handle_);
}

}  // namespace quillon
