#pragma once
// How the value of an attribute kept is decoded, the one home of the rule: character references
// (the whole named table; a legacy name without its ';' stays as written before '=' or a letter
// or digit; numeric references with their replacements), CR LF and CR as LF, NUL as U+FFFD,
// every other byte as it stands. The tokenizer feeds a decoder the bytes of a value as it reads
// them, in chunks split anywhere; DecodeAttributeValue runs one over a value handed on raw.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "library/html/attribute_value.h"
#include "library/html/named_references.h"

namespace quillon::html {

// The longest href value handed on, in bytes after character references are decoded. A longer
// one is skipped and counted, never cut.
inline constexpr std::size_t kLongestHref = 8192;
// The longest raw href kept (Tokenizer::set_raw_hrefs): a value that decodes to kLongestHref
// bytes can take twice as many raw ones (gb18030's four-byte forms of two-byte UTF-8), with as
// much again spent on character references. A longer raw value is skipped and counted.
inline constexpr std::size_t kLongestRawHref = 4 * kLongestHref;

using KeptValue = AttributeValue<kLongestRawHref>;

class ValueDecoder {
 public:
  void BeginValue() {
    after_cr_ = false;
    phase_ = Phase::kNone;
  }
  // Bytes of the value holding no '&', CR or NUL.
  void Plain(const unsigned char* bytes, std::size_t size, KeptValue& out) {
    if (after_cr_ && size > 0) {
      after_cr_ = false;
      if (*bytes == '\n') {  // the LF of a CR LF
        ++bytes;
        --size;
      }
    }
    out.Append(bytes, size);
  }
  // Any other byte of the value but the '&' that begins a reference.
  void Input(unsigned char byte, KeptValue& out);

  // After a '&': Reference reads on from `p` and stops where the reference ends (past its ';',
  // else before the byte that ended it) or at `end`, in_reference() until it has ended.
  void BeginReference() { phase_ = Phase::kAmpersand; }
  const unsigned char* Reference(const unsigned char* p, const unsigned char* end, KeptValue& out);
  bool in_reference() const { return phase_ != Phase::kNone; }
  // The value ended: a reference still open ends as before the closing quote.
  void EndValue(KeptValue& out);

 private:
  enum class Phase : std::uint8_t { kNone, kAmpersand, kNamed, kNumber, kNumberStart, kDigits };

  void Decoded(unsigned char byte, KeptValue& out) {
    after_cr_ = false;
    out.Append(byte);
  }
  void DecodedCodePoint(std::uint32_t point, KeptValue& out) {
    after_cr_ = false;
    out.AppendCodePoint(point);
  }
  void ResolveNamed(unsigned char next, KeptValue& out);

  bool after_cr_ = false;
  Phase phase_ = Phase::kNone;
  NamedReferenceSearch search_;
  unsigned char name_[kLongestNamedReference];
  std::size_t name_length_ = 0;
  std::uint32_t number_ = 0;
  bool hexadecimal_ = false;
  unsigned char number_marker_ = 0;  // the 'x' or 'X' of a hexadecimal reference
};

// Appends `value` decoded to `out`, as the tokenizer decodes a value it reads (a value handed on
// raw by a tokenizer that reads a page in another ASCII-compatible encoding decodes the same
// once converted to UTF-8: references are ASCII).
void DecodeAttributeValue(std::string_view value, KeptValue& out);

}  // namespace quillon::html
