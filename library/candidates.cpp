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

// Sixty-four bytes a turn; a stretch without any "<" is jumped. The candidates of the block
// where one is found go to `block` and `mask`.
QUILLON_SSE2_FLATTENED size_t NextOpeningCandidateWide(const unsigned char* bytes, size_t from,
                                                       size_t limit, size_t& block,
                                                       std::uint64_t& mask) {
  const __m128i bracket = _mm_set1_epi8('<');
  size_t at = from;
  while (limit - at >= 64) {
    const unsigned char* start = bytes + at;
    __m128i brackets0 = _mm_cmpeq_epi8(Load16(start), bracket);
    __m128i brackets1 = _mm_cmpeq_epi8(Load16(start + 16), bracket);
    __m128i brackets2 = _mm_cmpeq_epi8(Load16(start + 32), bracket);
    __m128i brackets3 = _mm_cmpeq_epi8(Load16(start + 48), bracket);
    __m128i any =
        _mm_or_si128(_mm_or_si128(brackets0, brackets1), _mm_or_si128(brackets2, brackets3));
    if (Mask16(any) == 0) {
      at = static_cast<size_t>(JumpTowards(start + 64, bytes + limit, '<') - bytes);
      continue;
    }
    std::uint64_t candidates =
        Mask64(BeforeA(brackets0, start), BeforeA(brackets1, start + 16),
               BeforeA(brackets2, start + 32), BeforeA(brackets3, start + 48));
    if (candidates != 0) {
      block = at;
      mask = candidates;
      return at + LowestBit(candidates);
    }
    at += 64;
  }
  for (; at < limit; ++at) {
    if (bytes[at] == '<' && (bytes[at + 1] | 0x20) == 'a') return at;
  }
  return limit;
}
#endif

}  // namespace

size_t OpeningCandidates::Search(size_t from) {
#ifdef QUILLON_X86
  if (wide_) return NextOpeningCandidateWide(bytes_, from, limit_, block_, mask_);
#endif
  return NextOpeningCandidatePlain(bytes_, from, limit_, classes_);
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
