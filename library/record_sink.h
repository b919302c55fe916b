#pragma once
// Where the engine hands its records.
#include <cstddef>

namespace quillon {

// What ends each record in an output file: CR LF.
inline constexpr char kRecordEnd[] = "\r\n";
inline constexpr size_t kRecordEndLength = sizeof kRecordEnd - 1;

class RecordSink {
 public:
  // `address` is one record without its CR LF: "http://", then printable bytes only, `length`
  // bytes in all (at most kLongestAddress).
  virtual void Record(const char* address, size_t length) = 0;

 protected:
  ~RecordSink() = default;
};

}  // namespace quillon
