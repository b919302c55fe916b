#include "fuzz/fuzz_case.h"

namespace fuzzing {

namespace {
constexpr size_t kLongestKeyword = 8;
}

FuzzCase ParseFuzzCase(const uint8_t* data, size_t size) {
  FuzzCase made;
  size_t at = 0;
  if (at < size) {
    made.chunking = data[at] & ~2u;
    made.failing_output = (data[at] & 2) != 0;
    ++at;
  }
  for (std::string& keyword : made.keywords) {
    if (at >= size) break;
    size_t length = data[at++] % (kLongestKeyword + 1);
    if (length > size - at) length = size - at;
    keyword.assign(reinterpret_cast<const char*>(data + at), length);
    at += length;
  }
  made.page.assign(reinterpret_cast<const char*>(data + at), size - at);
  return made;
}

std::string EncodeFuzzCase(const FuzzCase& fuzz_case) {
  std::string encoded(
      1, static_cast<char>((fuzz_case.chunking & ~2u) | (fuzz_case.failing_output ? 2 : 0)));
  for (const std::string& keyword : fuzz_case.keywords) {
    std::string kept = keyword.substr(0, kLongestKeyword);
    encoded += static_cast<char>(kept.size());
    encoded += kept;
  }
  return encoded + fuzz_case.page;
}

}  // namespace fuzzing
