#pragma once
// UTF-8 percent-encoding of a run of input bytes into a URL's storage.
#include <cstddef>
#include <cstdint>

#include "library/url/code_points.h"
#include "library/url/output.h"

namespace quillon::url {

// Appends [begin, end) with every byte in `set` percent-encoded; a valid UTF-8 sequence is
// encoded byte by byte, an invalid one becomes the encoded U+FFFD.
inline void PercentEncode(const unsigned char* begin, const unsigned char* end, EncodeSet set,
                          Output& out) {
  const unsigned char* p = begin;
  while (p < end) {
    const unsigned char* plain = p;
    while (p < end && (kEncodeSets[*p] & set) == 0) ++p;
    if (p > plain) {
      out.Put({reinterpret_cast<const char*>(plain), static_cast<size_t>(p - plain)});
    }
    if (p == end) break;
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
}

}  // namespace quillon::url
