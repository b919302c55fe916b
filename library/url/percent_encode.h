#pragma once
// UTF-8 percent-encoding of a run of input bytes into a URL's storage.
#include <cstddef>
#include <cstdint>

#include "library/url/code_points.h"
#include "library/url/output.h"

namespace quillon::url {

// Appends the bytes from `p` on, up to `end` or the first byte of a class in `stop`, with
// every byte of a class in `set` percent-encoded: a valid UTF-8 sequence byte by byte, an
// invalid one as the encoded U+FFFD. Returns where it stopped.
inline const unsigned char* PercentEncode(const unsigned char* p, const unsigned char* end,
                                          std::uint16_t set, std::uint16_t stop, Output& out) {
  const std::uint16_t special = set | stop;
  while (p < end) {
    const unsigned char* plain = p;
    while (p < end && (kByteClasses[*p] & special) == 0) ++p;
    if (p > plain) {
      out.Put({reinterpret_cast<const char*>(plain), static_cast<size_t>(p - plain)});
    }
    if (p == end || (kByteClasses[*p] & stop) != 0) break;
    if (*p < 0x80) {
      out.PutPercent(*p++);
      continue;
    }
    const Utf8Sequence sequence = ReadUtf8(p, static_cast<size_t>(end - p));
    if (sequence.valid) {
      for (size_t i = 0; i < sequence.length; ++i) out.PutPercent(p[i]);
    } else {
      out.PutReplacementCharacter();
    }
    p += sequence.length;
  }
  return p;
}

}  // namespace quillon::url
