#include "library/candidates.h"

#include "library/byte_masks.h"

namespace quillon {
namespace {

bool FoldsToA(unsigned char byte, const CharacterClasses& classes) {
  return byte == 'a' || classes.LowerCase(byte) == 'a';
}

size_t NextOpeningCandidatePlain(const unsigned char* bytes, size_t from, size_t limit,
                                 const CharacterClasses& classes) {
  for (size_t at = from; at < limit; ++at) {
    at = static_cast<size_t>(FindBytePlain(bytes + at, bytes + limit, '<') - bytes);
    if (at == limit) break;
    if (FoldsToA(bytes[at + 1], classes)) return at;
  }
  return limit;
}

#ifdef QUILLON_X86
// Which of the sixteen "<" marks in `brackets` stand before an "a" or "A".
QUILLON_SSE2 inline __m128i BeforeA(__m128i brackets, const unsigned char* at) {
  __m128i next = _mm_or_si128(Load16(at + 1), _mm_set1_epi8(0x20));
  return _mm_and_si128(brackets, _mm_cmpeq_epi8(next, _mm_set1_epi8('a')));
}

// Sixty-four bytes a turn; a stretch without any "<" is jumped.
QUILLON_SSE2_FLATTENED size_t NextOpeningCandidateWide(const unsigned char* bytes, size_t from,
                                                       size_t limit) {
  const __m128i bracket = _mm_set1_epi8('<');
  size_t at = from;
  while (limit - at >= 64) {
    const unsigned char* block = bytes + at;
    __m128i brackets0 = _mm_cmpeq_epi8(Load16(block), bracket);
    __m128i brackets1 = _mm_cmpeq_epi8(Load16(block + 16), bracket);
    __m128i brackets2 = _mm_cmpeq_epi8(Load16(block + 32), bracket);
    __m128i brackets3 = _mm_cmpeq_epi8(Load16(block + 48), bracket);
    __m128i any =
        _mm_or_si128(_mm_or_si128(brackets0, brackets1), _mm_or_si128(brackets2, brackets3));
    if (Mask16(any) == 0) {
      at = static_cast<size_t>(JumpTowards(block + 64, bytes + limit, '<') - bytes);
      continue;
    }
    std::uint64_t candidates =
        Mask64(BeforeA(brackets0, block), BeforeA(brackets1, block + 16),
               BeforeA(brackets2, block + 32), BeforeA(brackets3, block + 48));
    if (candidates != 0) return at + LowestBit(candidates);
    at += 64;
  }
  for (; at < limit; ++at) {
    if (bytes[at] == '<' && (bytes[at + 1] | 0x20) == 'a') return at;
  }
  return limit;
}
#endif

}  // namespace

size_t NextOpeningCandidate(const unsigned char* bytes, size_t from, size_t limit,
                            const CharacterClasses& classes, bool wide) {
#ifdef QUILLON_X86
  if (wide) return NextOpeningCandidateWide(bytes, from, limit);
#else
  (void)wide;
#endif
  return NextOpeningCandidatePlain(bytes, from, limit, classes);
}

const unsigned char* FindQuote(const unsigned char* first, const unsigned char* last, bool wide) {
#ifdef QUILLON_X86
  if (wide) return FindByteWide(first, last, '"');
#else
  (void)wide;
#endif
  return FindBytePlain(first, last, '"');
}

}  // namespace quillon
