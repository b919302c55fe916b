#pragma once
// The byte classes the URL parser reads by: the percent-encode sets, and the length of one
// UTF-8 sequence as the Encoding Standard's decoder reads it.
#include <array>
#include <cstddef>
#include <cstdint>

namespace quillon::url {

// What a byte is to the parser: one bit per percent-encode set it belongs to (each set holds
// every byte above 0x7E: non-ASCII code points are always encoded, byte by byte of their
// UTF-8), and one per kind of run it ends.
enum ByteClass : std::uint16_t {
  kC0ControlSet = 1,
  kFragmentSet = 2,
  kQuerySet = 4,
  kSpecialQuerySet = 8,
  kPathSet = 16,
  kUserinfoSet = 32,
  kEndsSegment = 64,          // '/', '?', '#': a path segment or an authority
  kEndsSpecialSegment = 128,  // the same and '\\', in a special URL
  kEndsQuery = 256,           // '#'
  kEndsOpaquePath = 512,      // '?', '#'
  kInAuthority = 1024,        // '@', ':', '[', ']': what splits an authority
};

namespace detail {
constexpr std::array<std::uint16_t, 256> MakeByteClasses() {
  std::array<std::uint16_t, 256> classes{};
  auto add = [&](const char* bytes, std::uint16_t mask) {
    for (; *bytes != '\0'; ++bytes) classes[static_cast<unsigned char>(*bytes)] |= mask;
  };
  for (int b = 0; b < 256; ++b) {
    if (b < 0x20 || b > 0x7E) classes[b] = 0x3F;
  }
  // Each set holds the one before it.
  add(" \"<>`", kFragmentSet);
  add(" \"#<>", kQuerySet | kSpecialQuerySet | kPathSet | kUserinfoSet);
  add("'", kSpecialQuerySet);
  add("?`{}", kPathSet | kUserinfoSet);
  add("/:;=@[\\]^|", kUserinfoSet);
  add("/?#", kEndsSegment | kEndsSpecialSegment);
  add("\\", kEndsSpecialSegment);
  add("#", kEndsQuery | kEndsOpaquePath);
  add("?", kEndsOpaquePath);
  add("@:[]", kInAuthority);
  return classes;
}
}  // namespace detail

inline constexpr std::array<std::uint16_t, 256> kByteClasses = detail::MakeByteClasses();

inline bool IsAsciiAlpha(unsigned char c) {
  return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
}
inline bool IsAsciiDigit(unsigned char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}
inline bool IsAsciiHexDigit(unsigned char c) {
  return IsAsciiDigit(c) || static_cast<unsigned char>((c | 0x20) - 'a') < 6;
}
inline unsigned HexValue(unsigned char c) {
  return IsAsciiDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}
inline char AsciiLower(char c) {
  return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c | 0x20) : c;
}

struct Utf8Sequence {
  size_t length;  // bytes the decoder takes: the sequence, or the bytes of one U+FFFD
  bool valid;
};

// The sequence starting at non-ASCII byte `p[0]`, of the `size` bytes there. An invalid one
// ends before the first byte that cannot continue it, so no ASCII byte is ever taken.
inline Utf8Sequence ReadUtf8(const unsigned char* p, size_t size) {
  const unsigned char lead = p[0];
  size_t needed;
  unsigned char lower = 0x80, upper = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    needed = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    needed = 2;
    if (lead == 0xE0) lower = 0xA0;
    if (lead == 0xED) upper = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    needed = 3;
    if (lead == 0xF0) lower = 0x90;
    if (lead == 0xF4) upper = 0x8F;
  } else {
    return {1, false};
  }
  for (size_t i = 1; i <= needed; ++i) {
    if (i >= size || p[i] < lower || p[i] > upper) return {i, false};
    lower = 0x80;
    upper = 0xBF;
  }
  return {needed + 1, true};
}

}  // namespace quillon::url
