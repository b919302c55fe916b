#include "cli/output_buffer.h"

#include <cerrno>

#include "runtime/system_calls.h"

namespace cli {

OutputBuffer::OutputBuffer(size_t capacity)
    : block_(std::make_unique_for_overwrite<char[]>(capacity)), capacity_(capacity) {}

void OutputBuffer::Attach(int descriptor) {
  descriptor_ = descriptor;
  used_ = 0;
  error_ = 0;
  written_ = 0;
}

void OutputBuffer::PutSlowly(const char* bytes, size_t size) {
  if (error_ != 0) return;
  // Fill the block first so that every write but the last is a whole block.
  const size_t room = capacity_ - used_;
  std::memcpy(block_.get() + used_, bytes, room);
  used_ = capacity_;
  Flush();
  bytes += room;
  size -= room;
  if (size >= capacity_) {
    WriteOut(bytes, size);
    return;
  }
  std::memcpy(block_.get(), bytes, size);
  used_ = size;
}

bool OutputBuffer::Flush() {
  WriteOut(block_.get(), used_);
  used_ = 0;
  return error_ == 0;
}

void OutputBuffer::WriteOut(const char* bytes, size_t size) {
  while (size > 0 && error_ == 0) {
    ssize_t put = crt::Sys().write(descriptor_, bytes, size);
    if (put < 0) {
      if (errno != EINTR) error_ = errno;
      continue;
    }
    // Only a write of nothing may come back with nothing; anything else would spin.
    if (put == 0) error_ = EIO;
    bytes += put;
    size -= static_cast<size_t>(put);
    written_ += put;
  }
}

}  // namespace cli
