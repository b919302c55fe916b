#pragma once
// The code points no host may hold, and those no domain may hold.

namespace quillon::url {

inline bool IsForbiddenHostCodePoint(unsigned char c) {
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

inline bool IsForbiddenDomainCodePoint(unsigned char c) {
  return IsForbiddenHostCodePoint(c) || c < 0x20 || c == '%' || c == 0x7F;
}

}  // namespace quillon::url
