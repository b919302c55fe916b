#include "library/attempt_skip.h"

#include "library/anchor_opening.h"
#include "library/byte_search.h"
#include "library/sse2.h"

namespace quillon {
namespace {

template <typename Find, typename Opens>
AttemptSkip Skip(const unsigned char* bytes, size_t size, Find find, Opens opens) {
  AttemptSkip skip{0, false, -1};
  const unsigned char* end = bytes + size;
  size_t from = 0;
  for (;;) {
    const unsigned char* found = find(bytes + from, end);
    if (found == end) {
      skip.taken = from;
      if (size - from >= 2) {
        skip.taken = size - 1;
        skip.last_read = bytes[size - 2];
      }
      return skip;
    }
    size_t at = static_cast<size_t>(found - bytes);
    if (size - at <= static_cast<size_t>(kComparedLength) + 1) {
      skip.taken = at;
      if (at > from) skip.last_read = bytes[at - 1];
      return skip;
    }
    if (opens(found)) {
      skip.taken = at + 1;
      skip.at_bracket = true;
      skip.last_read = '<';
      return skip;
    }
    skip.last_read = bytes[at + kComparedLength];
    from = at + 2;
  }
}

auto FindBracketPlain = [](const unsigned char* first, const unsigned char* last) {
  return FindBytePlain(first, last, '<');
};

#ifdef QUILLON_X86
QUILLON_SSE2_FLATTENED AttemptSkip SkipSse2(const unsigned char* bytes, size_t size,
                                            const CharacterClasses& classes) {
  auto find = [](const unsigned char* first, const unsigned char* last) {
    return FindByteSse2(first, last, '<');
  };
  if (classes.ascii) {
    return Skip(bytes, size, find,
                [](const unsigned char* bracket) { return MatchesOpeningAscii(bracket + 1); });
  }
  return Skip(bytes, size, find, [&classes](const unsigned char* bracket) {
    return MatchesOpening(bracket + 1, classes);
  });
}
#endif

}  // namespace

AttemptSkip SkipFailedAttemptsPlain(const unsigned char* bytes, size_t size,
                                    const CharacterClasses& classes) {
  return Skip(bytes, size, FindBracketPlain, [&classes](const unsigned char* bracket) {
    return MatchesOpening(bracket + 1, classes);
  });
}

AttemptSkip SkipFailedAttempts(const unsigned char* bytes, size_t size,
                               const CharacterClasses& classes) {
#ifdef QUILLON_X86
  if (HasSse2()) return SkipSse2(bytes, size, classes);
#endif
  return SkipFailedAttemptsPlain(bytes, size, classes);
}

}  // namespace quillon
