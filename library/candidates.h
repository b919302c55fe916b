#pragma once
// Where the scan should look next. These functions only propose: a "<" followed by a byte that
// folds to "a" may open an anchor, every other "<" cannot; whether an attempt starts there and
// whether it opens is the engine's to decide.
#include <cstddef>
#include <cstdint>

#include "library/byte_masks.h"
#include "library/character_classes.h"

namespace quillon {

// The positions of one span that hold a "<" whose next byte is "a" or folds to it. The
// candidates of the last sixty-four bytes looked at are kept: after a failed attempt the next
// candidate often lies in the same block.
class OpeningCandidates {
 public:
  // Over [0, limit) of `bytes`; reads up to bytes[limit]. `wide`: the classes are the default
  // ones and the processor has the sixteen-byte instructions.
  OpeningCandidates(const unsigned char* bytes, size_t limit, const CharacterClasses& classes,
                    bool wide)
      : bytes_(bytes), limit_(limit), classes_(classes), wide_(wide) {}

  // The first candidate at or after `from`, or the limit. `from` never goes back.
  size_t Next(size_t from) {
    if (from - block_ < 64) {
      std::uint64_t rest = mask_ & (~std::uint64_t{0} << (from - block_));
      if (rest != 0) return block_ + LowestBit(rest);
      from = block_ + 64;
    }
    return Search(from);
  }

 private:
  size_t Search(size_t from);

  const unsigned char* bytes_;
  size_t limit_;
  const CharacterClasses& classes_;
  bool wide_;
  size_t block_ = SIZE_MAX / 2;  // none yet
  std::uint64_t mask_ = 0;
};

// The first double quote in [first, last), or `last`.
const unsigned char* FindQuote(const unsigned char* first, const unsigned char* last, bool wide);

}  // namespace quillon
