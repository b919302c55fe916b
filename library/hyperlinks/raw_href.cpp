#include "library/hyperlinks/raw_href.h"

#include <cstdint>
#include <cstring>

namespace quillon {
namespace {

bool IsAscii(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if ((word & 0x8080808080808080u) != 0) return false;
  }
  for (; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

}  // namespace

bool HrefsConvertAlone(encoding::Encoding encoding) {
  switch (encoding) {
    case encoding::Encoding::kUtf8:
    case encoding::Encoding::kIso2022Jp:
    case encoding::Encoding::kReplacement:
    case encoding::Encoding::kUtf16be:
    case encoding::Encoding::kUtf16le:
      return false;
    default:
      return true;
  }
}

bool RawHref::Decode(encoding::ToUtf8& converter, std::string_view raw, html::KeptValue& out) {
  out.Clear(html::kLongestHref);
  // Every encoding HrefsConvertAlone takes reads ASCII bytes as themselves.
  if (IsAscii(raw)) {
    html::DecodeAttributeValue(raw, out);
    return !out.too_long();
  }
  size_ = 0;
  overflow_ = false;
  converter.Reset();
  converter.Feed(reinterpret_cast<const unsigned char*>(raw.data()), raw.size(), *this);
  // In the page an ASCII byte (a quote, a space or '>') ends the value: a character it cuts
  // short is read as the decoder reads it there (gb18030 reads some of its bytes again), not
  // as at the end of the input.
  constexpr unsigned char kQuote = '"';
  converter.Feed(&kQuote, 1, *this);
  converter.Finish(*this);
  if (overflow_) return false;
  if (size_ > 0 && bytes_[size_ - 1] == '"') --size_;
  html::DecodeAttributeValue({bytes_, size_}, out);
  return !out.too_long();
}

void RawHref::Utf8(const unsigned char* bytes, std::size_t size) {
  if (size > kCapacity - size_) {
    overflow_ = true;
    size = kCapacity - size_;
  }
  std::memcpy(bytes_ + size_, bytes, size);
  size_ += size;
}

}  // namespace quillon
