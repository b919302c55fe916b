#pragma once
// Where an archive's stored bytes come from.
#include <sys/types.h>

#include <cstddef>

namespace warc {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` next bytes into `buffer`: how many, 0 at the end, -1 with errno set when
  // reading failed.
  virtual ssize_t Read(unsigned char* buffer, size_t size) = 0;
};

// A file descriptor, read as it is (a pipe works too); the caller owns it.
class DescriptorSource final : public ByteSource {
 public:
  explicit DescriptorSource(int descriptor) : descriptor_(descriptor) {}
  ssize_t Read(unsigned char* buffer, size_t size) override;

 private:
  int descriptor_;
};

}  // namespace warc
