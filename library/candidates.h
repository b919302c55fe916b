#pragma once
// Where the scan should look next. These functions only propose: a "<" followed by a byte that
// folds to "a" may open an anchor, every other "<" cannot; whether an attempt starts there and
// whether it opens is the engine's to decide.
#include <cstddef>

#include "library/character_classes.h"

namespace quillon {

// The first position in [from, limit) holding a "<" whose next byte is "a" or folds to it, or
// `limit`. Reads up to bytes[limit]. `wide`: the classes are the default ones and the
// processor has the sixteen-byte instructions.
size_t NextOpeningCandidate(const unsigned char* bytes, size_t from, size_t limit,
                            const CharacterClasses& classes, bool wide);

// The first double quote in [first, last), or `last`.
const unsigned char* FindQuote(const unsigned char* first, const unsigned char* last, bool wide);

}  // namespace quillon
