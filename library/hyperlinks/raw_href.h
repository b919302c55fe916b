#pragma once
// An href handed on raw by the tokenizer (html::Tokenizer::set_raw_hrefs) from a page in an
// encoding other than UTF-8, converted to UTF-8 alone and then decoded: what the tokenizer would
// have handed on had the whole page been converted first. Converting only the hrefs leaves the
// rest of the page unconverted, which is most of the work of reading it.
#include <cstddef>
#include <string_view>

#include "library/encoding/encoding.h"
#include "library/html/value_decoder.h"

namespace quillon {

// Whether a page in `encoding` can be tokenized as it stands, its hrefs converted alone: the
// ASCII-compatible encodings whose multi-byte characters never hold a byte the tokenizer acts
// on ('<', '>', '/', '=', quotes, '&', '!', '-', '?', whitespace, NUL), and whose decoders read
// such a byte again after a character it cuts short. Not UTF-16, ISO-2022-JP (its escapes
// shift the meaning of ASCII bytes) or the replacement encoding; UTF-8 needs no conversion.
bool HrefsConvertAlone(encoding::Encoding encoding);

class RawHref final : private encoding::Utf8Sink {
 public:
  // `raw` converted with `converter` (reset first: any state it had is dropped) and decoded
  // into `out`. Returns false when the decoded value is longer than html::kLongestHref.
  bool Decode(encoding::ToUtf8& converter, std::string_view raw, html::KeptValue& out);

 private:
  // Each byte gives at most three of UTF-8 (U+FFFD for one that is invalid); one more for the
  // byte that ends the value.
  static constexpr std::size_t kCapacity = 3 * html::kLongestRawHref + 3;

  void Utf8(const unsigned char* bytes, std::size_t size) override;

  std::size_t size_ = 0;
  bool overflow_ = false;
  char bytes_[kCapacity];
};

}  // namespace quillon
