#pragma once
// The code points no host may hold, and those no domain may hold.
#include <array>
#include <cstdint>

namespace quillon::url {

constexpr bool IsForbiddenHostCodePoint(unsigned char c) {
  switch (c) {
    case 0x00:
    case '\t':
    case '\n':
    case '\r':
    case ' ':
    case '#':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '@':
    case '[':
    case '\\':
    case ']':
    case '^':
    case '|':
      return true;
    default:
      return false;
  }
}

constexpr bool IsForbiddenDomainCodePoint(unsigned char c) {
  return IsForbiddenHostCodePoint(c) || c < 0x20 || c == '%' || c == 0x7F;
}

// What a byte of a domain tells its parser.
enum DomainByte : std::uint8_t { kForbiddenDomainByte = 1, kNonAsciiByte = 2, kHyphen = 4 };
inline constexpr std::array<std::uint8_t, 256> kDomainBytes = [] {
  std::array<std::uint8_t, 256> bytes{};
  for (int b = 0; b < 256; ++b) {
    if (b >= 0x80) {
      bytes[b] = kNonAsciiByte;
    } else if (IsForbiddenDomainCodePoint(static_cast<unsigned char>(b))) {
      bytes[b] = kForbiddenDomainByte;
    }
  }
  bytes['-'] = kHyphen;  // every "xn--" label has one
  return bytes;
}();

}  // namespace quillon::url
