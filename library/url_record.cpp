#include "library/url_record.h"

#include <cstring>

#include "library/anchor_opening.h"
#include "library/byte_masks.h"

namespace quillon {
namespace {

Copied CopyPrintableFrom(const unsigned char* source, size_t length, unsigned char* out,
                         const CharacterClasses& classes, size_t read, size_t written) {
  for (; read < length; ++read) {
    unsigned char byte = source[read];
    if (byte == 0) break;
    out[written] = byte;
    written += classes.IsPrintable(byte) ? 1 : 0;
  }
  return {read, written};
}

#ifdef QUILLON_X86
// Which of the sixteen bytes at `at` lie outside 0x20 to 0x7E (NUL among them).
QUILLON_SSE2 inline unsigned UnprintableMask16(const unsigned char* at) {
  // Moves 0x20..0x7E to -128..-34: anything greater lies outside.
  __m128i shifted = _mm_add_epi8(Load16(at), _mm_set1_epi8(0x60));
  return Mask16(_mm_cmpgt_epi8(shifted, _mm_set1_epi8(static_cast<char>(0xDE))));
}

// An address of printable ASCII, the usual one, is copied whole without a look at each byte.
QUILLON_SSE2_FLATTENED Copied CopyPrintableWide(const unsigned char* source, size_t length,
                                                unsigned char* out,
                                                const CharacterClasses& classes) {
  size_t at = 0;
  for (; at + 16 <= length; at += 16) {
    unsigned bad = UnprintableMask16(source + at);
    Store16(out + at, Load16(source + at));
    if (bad != 0) {
      at += LowestBit(bad);
      return CopyPrintableFrom(source, length, out, classes, at, at);
    }
  }
  if (at == length) return {length, length};
  if (length >= 16) {
    // The last sixteen bytes, overlapping those already copied.
    size_t last = length - 16;
    unsigned bad = UnprintableMask16(source + last);
    Store16(out + last, Load16(source + last));
    if (bad == 0) return {length, length};
    size_t first_bad = last + LowestBit(bad);
    return CopyPrintableFrom(source, length, out, classes, first_bad, first_bad);
  }
  return CopyPrintableFrom(source, length, out, classes, at, at);
}
#endif

// Whether `byte` is the lower-case letter `letter` or its capital; nothing else is folded.
bool IsLetter(unsigned char byte, char letter) {
  return (byte | 0x20) == static_cast<unsigned char>(letter);
}

}  // namespace

Copied CopyPrintable(const unsigned char* source, size_t length, unsigned char* out,
                     const CharacterClasses& classes, bool wide) {
#ifdef QUILLON_X86
  if (wide) return CopyPrintableWide(source, length, out, classes);
#else
  (void)wide;
#endif
  return CopyPrintableFrom(source, length, out, classes, 0, 0);
}

bool IsExcluded(const char* address, KeywordList keywords) {
  for (const std::string& keyword : keywords) {
    // An empty keyword occurs in every address and so never counts; testing for it first
    // gives the same answer without the search.
    if (!keyword.empty() && std::strstr(address, keyword.c_str()) != nullptr) return true;
  }
  return false;
}

bool NeedsTrailingSlash(const unsigned char* after_scheme, size_t length) {
  if (length == 0) return false;
  const unsigned char* end = after_scheme + length;
  unsigned char last = end[-1];
  if (last == '/') return false;
  // ".html" and ".htm" share ".htm": find where it would end.
  size_t htm_end = IsLetter(last, 'l') ? length - 1 : length;
  if (htm_end < 4) return true;
  const unsigned char* htm = after_scheme + htm_end - 4;
  return !(htm[0] == '.' && IsLetter(htm[1], 'h') && IsLetter(htm[2], 't') &&
           IsLetter(htm[3], 'm'));
}

size_t WriteUrlRecord(const unsigned char* after_scheme, size_t length, bool slash,
                      const RecordRules& rules, char* out) {
  if (kSchemeLength + length + (slash ? 1 : 0) > kLongestAddress) {
    // Too long, unless a NUL cuts it short (and then the "/" is not part of it).
    size_t looked_at = length < kKeptAddressBytes ? length : kKeptAddressBytes;
    const unsigned char* nul = FindBytePlain(after_scheme, after_scheme + looked_at, 0);
    if (nul == after_scheme + looked_at) return 0;
    length = static_cast<size_t>(nul - after_scheme);
    slash = false;
  }
  auto* record = reinterpret_cast<unsigned char*>(out);
  std::memcpy(record, kScheme, kSchemeLength);
  Copied copied =
      CopyPrintable(after_scheme, length, record + kSchemeLength, rules.classes, rules.wide);
  if (copied.read < length) slash = false;  // the address ends at its NUL
  size_t record_length = kSchemeLength + copied.written;
  if (slash) record[record_length++] = '/';

  if (rules.has_keywords) {
    // The keywords are looked for in the address as captured, before the filter.
    char tested[UrlBufferSize];
    const char* text = out;
    if (copied.written == copied.read) {
      record[record_length] = '\0';
    } else {
      std::memcpy(tested, kScheme, kSchemeLength);
      std::memcpy(tested + kSchemeLength, after_scheme, copied.read);
      size_t tested_length = kSchemeLength + copied.read;
      if (slash) tested[tested_length++] = '/';
      tested[tested_length] = '\0';
      text = tested;
    }
    if (IsExcluded(text, rules.keywords)) return 0;
  }
  return record_length;
}

}  // namespace quillon
