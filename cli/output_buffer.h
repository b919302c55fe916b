#pragma once
// Bytes gathered in one block and written to a descriptor when it fills and on Flush. After a
// failed write nothing more is written; the error stays until the next Attach.
#include <sys/types.h>

#include <cstddef>
#include <cstring>
#include <memory>

namespace cli {

class OutputBuffer {
 public:
  explicit OutputBuffer(size_t capacity);

  // Starts writing to `descriptor`, with an empty block and no error.
  void Attach(int descriptor);
  void Put(const char* bytes, size_t size) {
    if (size > capacity_ - used_) return PutSlowly(bytes, size);
    std::memcpy(block_.get() + used_, bytes, size);
    used_ += size;
  }
  // Writes what is gathered; false when this or an earlier write failed.
  bool Flush();
  // The errno of the failed write; 0 while none failed.
  int error() const { return error_; }
  // Bytes written to the descriptor since Attach.
  off_t written() const { return written_; }

 private:
  void PutSlowly(const char* bytes, size_t size);
  void WriteOut(const char* bytes, size_t size);

  std::unique_ptr<char[]> block_;
  size_t capacity_;
  size_t used_ = 0;
  int descriptor_ = -1;
  int error_ = 0;
  off_t written_ = 0;
};

}  // namespace cli
