#include "library/url_writer.h"

#include <cstring>

#include "library/anchor_opening.h"
#include "library/byte_search.h"
#include "library/sse2.h"

namespace quillon {
namespace {

struct Copied {
  size_t read;     // source bytes looked at: all of them, or those before the first NUL
  size_t written;  // the printable ones among them
};

// The printable bytes of `source` up to its first NUL (or `length`) into `out`.
Copied CopyPrintableUpToNul(const unsigned char* source, size_t length, unsigned char* out,
                            const CharacterClasses& classes, size_t from = 0, size_t to = 0) {
  size_t read = from;
  size_t written = to;
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
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  // Moves 0x20..0x7E to -128..-34: anything greater lies outside.
  __m128i shifted = _mm_add_epi8(bytes, _mm_set1_epi8(0x60));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpgt_epi8(shifted, _mm_set1_epi8(static_cast<char>(0xDE)))));
}

// The default locale's classes sixteen bytes at a time: an address of printable ASCII, the
// usual one, is copied whole without a look at each byte. `out` has room for sixteen bytes
// beyond `length`.
QUILLON_SSE2_FLATTENED Copied CopyPrintableAscii(const unsigned char* source, size_t length,
                                                 unsigned char* out,
                                                 const CharacterClasses& classes) {
  size_t at = 0;
  for (; at + 16 <= length; at += 16) {
    unsigned bad = UnprintableMask16(source + at);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + at)));
    if (bad != 0) {
      at += static_cast<size_t>(__builtin_ctz(bad));
      return CopyPrintableUpToNul(source, length, out, classes, at, at);
    }
  }
  if (at == length) return {length, length};
  if (length >= 16) {
    // The last sixteen bytes, overlapping those already copied.
    size_t last = length - 16;
    unsigned bad = UnprintableMask16(source + last);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + last),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + last)));
    if (bad == 0) return {length, length};
    size_t first_bad = last + static_cast<size_t>(__builtin_ctz(bad));
    return CopyPrintableUpToNul(source, length, out, classes, first_bad, first_bad);
  }
  return CopyPrintableUpToNul(source, length, out, classes, at, at);
}
#endif

Copied CopyAddress(const unsigned char* source, size_t length, unsigned char* out,
                   const CharacterClasses& classes) {
#ifdef QUILLON_X86
  if (classes.ascii && HasSse2()) return CopyPrintableAscii(source, length, out, classes);
#endif
  return CopyPrintableUpToNul(source, length, out, classes);
}

}  // namespace

bool IsExcluded(const char* address, const ExclusionKeywords& keywords) {
  for (const CString* keyword : keywords) {
    // An empty keyword occurs in every address and so never counts; testing for it first
    // gives the same answer without the search.
    const char* text = keyword->GetString();
    if (text[0] != '\0' && std::strstr(address, text) != nullptr) return true;
  }
  return false;
}

int CopyPrintable(const char* source, int length, char (&output)[UrlBufferSize],
                  const CharacterClasses& classes) {
  // Bounded by the buffer even for a caller that breaks the contract.
  if (length > UrlBufferSize - 1) length = UrlBufferSize - 1;
  Copied copied = CopyPrintableUpToNul(reinterpret_cast<const unsigned char*>(source),
                                       static_cast<size_t>(length),
                                       reinterpret_cast<unsigned char*>(output), classes);
  output[copied.written] = '\0';
  return static_cast<int>(copied.written);
}

void WriteUrlRecord(RunContext& run, const unsigned char* after_scheme, size_t length, bool slash) {
  constexpr size_t kLongest = UrlBufferSize - 1;
  if (kSchemeLength + length + (slash ? 1 : 0) > kLongest) {
    // Too long, unless a NUL cuts it short (and then the "/" is not part of it).
    size_t looked_at = kLongest - kSchemeLength + 1;
    if (length < looked_at) looked_at = length;
    const unsigned char* nul = FindByte(after_scheme, after_scheme + looked_at, 0);
    if (nul == after_scheme + looked_at) return;
    length = static_cast<size_t>(nul - after_scheme);
    slash = false;
  }
  unsigned char* slot = reinterpret_cast<unsigned char*>(run.Output().Slot());
  std::memcpy(slot, kScheme, kSchemeLength);
  Copied copied = CopyAddress(after_scheme, length, slot + kSchemeLength, run.classes);
  if (copied.read < length) slash = false;  // the address ends at its NUL
  size_t record_length = kSchemeLength + copied.written;
  if (slash) slot[record_length++] = '/';

  if (run.has_keywords) {
    // The keywords are looked for in the address as captured, before the filter.
    char tested[UrlBufferSize];
    const char* text = reinterpret_cast<const char*>(slot);
    if (copied.written == copied.read) {
      slot[record_length] = '\0';
    } else {
      std::memcpy(tested, kScheme, kSchemeLength);
      std::memcpy(tested + kSchemeLength, after_scheme, copied.read);
      size_t tested_length = kSchemeLength + copied.read;
      if (slash) tested[tested_length++] = '/';
      tested[tested_length] = '\0';
      text = tested;
    }
    if (IsExcluded(text, run.keywords)) return;
  }
  run.Output().Append(static_cast<int>(record_length), run.input.StatusSerial());
}

}  // namespace quillon
