#pragma once
// Passing over text and failed anchor attempts many bytes at a time: what the byte-by-byte scan
// and its attempts would do, worked out on the bytes at hand.
#include <cstddef>

#include "library/character_classes.h"

namespace quillon {

struct AttemptSkip {
  // Bytes passed over: the scan goes on at bytes[taken].
  size_t taken;
  // Whether the last byte taken is a "<" whose attempt opens an anchor.
  bool at_bracket;
  // The byte the reads on the way gave last (it may lie beyond `taken`, after an attempt that
  // moved back), or -1 when nothing was read.
  int last_read;
};

// Walks `bytes`, the unread input, as the scan would: each "<" starts an attempt on the
// kComparedLength bytes after it; a failed one moves back to the second byte after the "<".
// Stops
// - after a "<" whose attempt opens an anchor;
// - before a "<" with kComparedLength bytes or fewer after it: only the input can tell how its
//   attempt ends (after it the scan tests for the end of the input, and moves back only if
//   more follows);
// - before the last byte when no "<" is left, for the same reason.
AttemptSkip SkipFailedAttempts(const unsigned char* bytes, size_t size,
                               const CharacterClasses& classes);

// The same without the sixteen-byte paths, for processors without SSE2 (and for tests).
AttemptSkip SkipFailedAttemptsPlain(const unsigned char* bytes, size_t size,
                                    const CharacterClasses& classes);

}  // namespace quillon
