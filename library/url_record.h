#pragma once
// The last step of handling an anchor: drop the address if it holds an exclusion keyword, strip
// what is not printable, and make the record of the rest.
#include <cstddef>
#include <span>
#include <string>

#include "library/character_classes.h"
#include "library/record_limits.h"

namespace quillon {

// The keywords of a run, each cut at its first NUL; empty ones exclude nothing.
using KeywordList = std::span<const std::string>;

// What the record of an address depends on besides its bytes.
struct RecordRules {
  KeywordList keywords;
  bool has_keywords;  // any keyword not empty
  const CharacterClasses& classes;
  bool wide;  // the default classes, tested sixteen bytes at a time
};

// Makes, at `out` (room for kLongestAddress + 16 bytes), the record of the address made of the
// scheme, the `length` bytes at `after_scheme` and, when `slash` is set, a "/". Only the bytes
// before its first NUL take part (the "/" comes after all of them). Returns the record's
// length, or 0 when there is none: the address holds a keyword, or is longer than
// kLongestAddress.
size_t WriteUrlRecord(const unsigned char* after_scheme, size_t length, bool slash,
                      const RecordRules& rules, char* out);

// Whether NUL-terminated `address` holds a non-empty keyword (byte for byte, case-sensitive);
// the keywords are tested in order and the first hit decides.
bool IsExcluded(const char* address, KeywordList keywords);

struct Copied {
  size_t read;     // source bytes looked at: all of them, or those before the first NUL
  size_t written;  // the printable ones among them
};

// Copies the printable bytes of the `length` bytes at `source`, up to the first NUL, to `out`
// in their order, closed up. With `wide`, `out` needs room for sixteen bytes past `length`.
Copied CopyPrintable(const unsigned char* source, size_t length, unsigned char* out,
                     const CharacterClasses& classes, bool wide);

// Whether the address made of the scheme and the `length` bytes at `after_scheme` needs the
// "/": it ends neither like a page (".html", ".htm", the letters in any case) nor like a
// directory ("/"). No suffix of the rule reaches back into the scheme, which ends in "/".
bool NeedsTrailingSlash(const unsigned char* after_scheme, size_t length);
// The most bytes at an address's end that the rule looks at (".html").
inline constexpr size_t kSlashRuleBytes = 5;

}  // namespace quillon
