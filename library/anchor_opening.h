#pragma once
// The anchor opening and every count derived from it.
#include <array>

#include "library/character_classes.h"
#include "library/sse2.h"

namespace quillon {

// All lower case. The scan finds its "<"; an attempt compares the other characters, folding
// only the input's letters to lower case.
inline constexpr char AnchorPattern[] = "<a href=\"http://";
inline constexpr int kPatternLength = static_cast<int>(sizeof AnchorPattern) - 1;
// Bytes an attempt reads after its "<".
inline constexpr int kComparedLength = kPatternLength - 1;
// A failed attempt moves back one byte less than it read, so that the scan goes on at the
// second byte after the "<": the byte right after it is never looked at again.
inline constexpr int kMoveBack = kComparedLength - 1;
// The address starts with the pattern's scheme, whatever the case of the input.
inline constexpr char kScheme[] = "http://";
inline constexpr int kSchemeLength = static_cast<int>(sizeof kScheme) - 1;

static_assert(kPatternLength == 16, "an opening is compared as one block of sixteen bytes");

// The compared characters as sixteen bytes (the last one compares with nothing), and 0x20
// where they are letters: OR-ing those bits into the input folds exactly the letters A to Z
// there, and a byte then equals the pattern's only if it is that letter in either case.
struct ComparedBlock {
  std::array<unsigned char, 16> characters;
  std::array<unsigned char, 16> fold_bits;
};
inline constexpr ComparedBlock kComparedBlock = [] {
  ComparedBlock block{};
  for (int i = 0; i < kComparedLength; ++i) {
    char character = AnchorPattern[i + 1];
    block.characters[static_cast<size_t>(i)] = static_cast<unsigned char>(character);
    block.fold_bits[static_cast<size_t>(i)] = character >= 'a' && character <= 'z' ? 0x20 : 0;
  }
  return block;
}();

// Whether the kComparedLength bytes at `after_bracket` complete the opening.
inline bool MatchesOpening(const unsigned char* after_bracket, const CharacterClasses& classes) {
  for (int position = 1; position < kPatternLength; ++position) {
    unsigned char byte = after_bracket[position - 1];
    if (byte != AnchorPattern[position] && classes.LowerCase(byte) != AnchorPattern[position]) {
      return false;
    }
  }
  return true;
}

#ifdef QUILLON_X86
// MatchesOpening for the default locale's classes, in one step. Reads sixteen bytes: the
// compared ones and one more.
QUILLON_SSE2 inline bool MatchesOpeningAscii(const unsigned char* after_bracket) {
  __m128i input = _mm_loadu_si128(reinterpret_cast<const __m128i*>(after_bracket));
  __m128i fold = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kComparedBlock.fold_bits.data()));
  __m128i pattern =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kComparedBlock.characters.data()));
  unsigned equal =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(input, fold), pattern)));
  constexpr unsigned kCompared = (1u << kComparedLength) - 1;
  return (equal & kCompared) == kCompared;
}
#endif

}  // namespace quillon
