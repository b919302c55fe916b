#include "warc/byte_source.h"

#include <unistd.h>

#include <cerrno>

namespace warc {

ssize_t DescriptorSource::Read(unsigned char* buffer, size_t size) {
  for (;;) {
    const ssize_t got = read(descriptor_, buffer, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

}  // namespace warc
