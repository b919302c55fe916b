#include "library/html/value_decoder.h"

#include "library/html/byte_search.h"
#include "library/html/numeric_references.h"

namespace quillon::html {
namespace {

bool IsDigit(unsigned char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}
bool IsAlnum(unsigned char c) {
  return static_cast<unsigned char>((c | 0x20) - 'a') < 26 || IsDigit(c);
}
// The digit's value, or 16 for no digit.
unsigned DigitValue(unsigned char c, bool hexadecimal) {
  if (IsDigit(c)) return c - '0';
  if (hexadecimal && static_cast<unsigned char>((c | 0x20) - 'a') < 6) return (c | 0x20) - 'a' + 10;
  return 16;
}

}  // namespace

void ValueDecoder::Input(unsigned char byte, KeptValue& out) {
  if (byte == '\n' && after_cr_) {
    after_cr_ = false;
    return;
  }
  if (byte == '\r') {
    Decoded('\n', out);
    after_cr_ = true;
    return;
  }
  if (byte == 0) {
    DecodedCodePoint(0xFFFD, out);
    return;
  }
  Decoded(byte, out);
}

void ValueDecoder::ResolveNamed(unsigned char next, KeptValue& out) {
  std::size_t decoded = 0;
  if (const NamedReference* match = search_.match()) {
    const std::size_t length = match->name_length;
    const unsigned char after = length < name_length_ ? name_[length] : next;
    const bool semicolon = kNamedReferenceNames[match->name_offset + length - 1] == ';';
    if (semicolon || (after != '=' && !IsAlnum(after))) {
      DecodedCodePoint(match->first, out);
      if (match->second != 0) DecodedCodePoint(match->second, out);
      decoded = length;
    }
  }
  if (decoded == 0) Decoded('&', out);
  for (std::size_t i = decoded; i < name_length_; ++i) Decoded(name_[i], out);
}

const unsigned char* ValueDecoder::Reference(const unsigned char* p, const unsigned char* end,
                                             KeptValue& out) {
  for (; p < end; ++p) {
    const unsigned char c = *p;
    switch (phase_) {
      case Phase::kNone:
        return p;
      case Phase::kAmpersand:
        if (c == '#') {
          phase_ = Phase::kNumber;
          break;
        }
        if (!IsAlnum(c)) {
          Decoded('&', out);
          phase_ = Phase::kNone;
          return p;
        }
        search_.Start();
        name_length_ = 0;
        phase_ = Phase::kNamed;
        [[fallthrough]];
      case Phase::kNamed:
        if (!search_.Next(c)) {
          ResolveNamed(c, out);
          phase_ = Phase::kNone;
          return p;
        }
        name_[name_length_++] = c;
        break;
      case Phase::kNumber:
        hexadecimal_ = c == 'x' || c == 'X';
        number_marker_ = hexadecimal_ ? c : 0;
        phase_ = Phase::kNumberStart;
        if (hexadecimal_) break;
        [[fallthrough]];
      case Phase::kNumberStart:
        if (DigitValue(c, hexadecimal_) == 16) {
          Decoded('&', out);
          Decoded('#', out);
          if (number_marker_ != 0) Decoded(number_marker_, out);
          phase_ = Phase::kNone;
          return p;
        }
        number_ = 0;
        phase_ = Phase::kDigits;
        [[fallthrough]];
      case Phase::kDigits: {
        const unsigned digit = DigitValue(c, hexadecimal_);
        if (digit < (hexadecimal_ ? 16u : 10u)) {
          number_ = number_ * (hexadecimal_ ? 16 : 10) + digit;
          if (number_ > kBeyondUnicode) number_ = kBeyondUnicode;
          break;
        }
        DecodedCodePoint(NumericReferenceCodePoint(number_), out);
        phase_ = Phase::kNone;
        return c == ';' ? p + 1 : p;
      }
    }
  }
  return p;
}

void ValueDecoder::EndValue(KeptValue& out) {
  const unsigned char quote = '"';
  while (in_reference()) Reference(&quote, &quote + 1, out);
}

void DecodeAttributeValue(std::string_view value, KeptValue& out) {
  ValueDecoder decoder;
  const auto* p = reinterpret_cast<const unsigned char*>(value.data());
  const unsigned char* const end = p + value.size();
  constexpr unsigned char kStops[4] = {'&', '\r', 0, 0};
  while (p < end) {
    const unsigned char* stop = FindAnyOf4(p, end, kStops);
    decoder.Plain(p, static_cast<std::size_t>(stop - p), out);
    p = stop;
    if (p == end) break;
    if (*p++ != '&') {
      decoder.Input(p[-1], out);
      continue;
    }
    decoder.BeginReference();
    p = decoder.Reference(p, end, out);
  }
  decoder.EndValue(out);
}

}  // namespace quillon::html
