#pragma once
// The anchor opening and every count derived from it.
#include <array>

#include "library/byte_masks.h"
#include "library/character_classes.h"

namespace quillon {

// All lower case. The scan finds its "<"; an attempt compares the other characters, folding
// only the input's letters to lower case.
inline constexpr char AnchorPattern[] = "<a href=\"http://";
inline constexpr int kPatternLength = static_cast<int>(sizeof AnchorPattern) - 1;
// Bytes an attempt reads after its "<".
inline constexpr int kComparedLength = kPatternLength - 1;
// A failed attempt moves back one byte less than it read, so that the scan goes on at the
// second byte after the "<": the byte right after it is never looked at again.
inline constexpr int kRewind = kComparedLength - 1;
// Where the scan goes on after a failed attempt, counted from its "<". Of a run of "<", the
// attempts therefore start at every kResumeAfterFailure-th one.
inline constexpr int kResumeAfterFailure = 1 + kComparedLength - kRewind;
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
  __m128i folded = _mm_or_si128(Load16(after_bracket), Load16(kComparedBlock.fold_bits.data()));
  unsigned equal = Mask16(_mm_cmpeq_epi8(folded, Load16(kComparedBlock.characters.data())));
  constexpr unsigned kCompared = (1u << kComparedLength) - 1;
  return (equal & kCompared) == kCompared;
}
#endif

}  // namespace quillon
