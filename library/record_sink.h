#pragma once
// Where the engine hands its records.
#include <cstddef>

namespace quillon {

class RecordSink {
 public:
  // `address` is one record without its CR LF: "http://", then printable bytes only, `length`
  // bytes in all (at most kLongestAddress).
  virtual void Record(const char* address, size_t length) = 0;

 protected:
  ~RecordSink() = default;
};

}  // namespace quillon
