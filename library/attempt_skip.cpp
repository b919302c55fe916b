#include "library/attempt_skip.h"

#include "library/anchor_opening.h"
#include "library/byte_search.h"
#include "library/sse2.h"

namespace quillon {
namespace {

// Walks the attempts: `next(from)` gives the first "<" at or after `from` (or `size`), for
// ever larger `from`; `opens` tells whether the attempt at a "<" opens an anchor.
template <typename Next, typename Opens>
AttemptSkip Skip(const unsigned char* bytes, size_t size, Next next, Opens opens) {
  AttemptSkip skip{0, false, -1};
  size_t from = 0;
  for (;;) {
    size_t at = next(from);
    if (at == size) {
      skip.taken = from;
      if (size - from >= 2) {
        skip.taken = size - 1;
        skip.last_read = bytes[size - 2];
      }
      return skip;
    }
    if (size - at <= static_cast<size_t>(kComparedLength) + 1) {
      skip.taken = at;
      if (at > from) skip.last_read = bytes[at - 1];
      return skip;
    }
    if (opens(bytes + at)) {
      skip.taken = at + 1;
      skip.at_bracket = true;
      skip.last_read = '<';
      return skip;
    }
    skip.last_read = bytes[at + kComparedLength];
    from = at + 2;
  }
}

#ifdef QUILLON_X86
// Finds the brackets sixteen bytes at a time, keeping the last block's hits: on a page there
// is one every twenty bytes or so, and most attempts fail at once.
class BracketFinderSse2 {
 public:
  BracketFinderSse2(const unsigned char* bytes, size_t size) : bytes_(bytes), size_(size) {}

  QUILLON_SSE2 size_t operator()(size_t from) {
    if (from - block_ < 16) {
      unsigned hits = hits_ & (~0u << (from - block_));
      if (hits != 0) return block_ + static_cast<size_t>(__builtin_ctz(hits));
      from = block_ + 16;
    }
    const __m128i bracket = _mm_set1_epi8('<');
    if (size_ - from >= 16) {
      if (Hits(from, bracket)) return Found(from);
      from += 16;
    }
    // A long stretch without markup: sixty-four bytes a turn.
    while (size_ - from >= 64 &&
           (MatchMask16(bytes_ + from, bracket) | MatchMask16(bytes_ + from + 16, bracket) |
            MatchMask16(bytes_ + from + 32, bracket) | MatchMask16(bytes_ + from + 48, bracket)) ==
               0) {
      from += 64;
    }
    while (size_ - from >= 16) {
      if (Hits(from, bracket)) return Found(from);
      from += 16;
    }
    for (; from < size_; ++from) {
      if (bytes_[from] == '<') return from;
    }
    return size_;
  }

 private:
  QUILLON_SSE2 bool Hits(size_t from, __m128i bracket) {
    hits_ = MatchMask16(bytes_ + from, bracket);
    block_ = from;
    return hits_ != 0;
  }
  size_t Found(size_t from) const { return from + static_cast<size_t>(__builtin_ctz(hits_)); }

  const unsigned char* bytes_;
  size_t size_;
  size_t block_ = static_cast<size_t>(-1) / 2;  // no block yet
  unsigned hits_ = 0;
};

// Whether the "<" at `at`, not before `from`, starts an attempt. The first "<" at or after
// `from` does; of a run of them, every second one does, since a failed attempt goes on at the
// second byte after its "<".
bool StartsAttempt(const unsigned char* bytes, size_t from, size_t at) {
  size_t run = at;
  while (run > from && bytes[run - 1] == '<') --run;
  return (at - run) % 2 == 0;
}

// Which of the sixteen bytes at `at` are followed by an "a" or "A": a "<" there starts an
// attempt that may open an anchor. Every other attempt fails on its first compared byte.
QUILLON_SSE2 unsigned FollowedByA16(const unsigned char* at) {
  __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
  __m128i folded = _mm_or_si128(next, _mm_set1_epi8(0x20));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(folded, _mm_set1_epi8('a'))));
}

// Where the classes are the default ones: only the attempts that may open an anchor are
// looked at one by one. The others fail; what they leave behind (where the scan goes on, the
// last byte read) is worked out once, where the walk stops.
QUILLON_SSE2_FLATTENED AttemptSkip SkipAscii(const unsigned char* bytes, size_t size) {
  constexpr size_t kNone = static_cast<size_t>(-1);
  // A "<" before `limit` has its compared bytes and one more in the block.
  const size_t limit = size > static_cast<size_t>(kComparedLength) + 1
                           ? size - static_cast<size_t>(kComparedLength) - 1
                           : 0;
  const __m128i bracket = _mm_set1_epi8('<');
  size_t from = 0;
  size_t last_promising = kNone;  // the last attempt that could have opened, and failed
  size_t last_bracket_block = kNone;
  unsigned last_brackets = 0;
  for (size_t block = 0; block < limit; block += 16) {
    if (limit - block >= 64 &&
        (MatchMask16(bytes + block, bracket) | MatchMask16(bytes + block + 16, bracket) |
         MatchMask16(bytes + block + 32, bracket) | MatchMask16(bytes + block + 48, bracket)) ==
            0) {
      block += 48;
      continue;
    }
    unsigned brackets = MatchMask16(bytes + block, bracket);
    if (limit - block < 16) brackets &= (1u << (limit - block)) - 1;
    if (brackets == 0) continue;
    last_bracket_block = block;
    last_brackets = brackets;
    unsigned promising = brackets & FollowedByA16(bytes + block);
    if (from > block) promising &= from - block < 16 ? ~0u << (from - block) : 0;
    for (; promising != 0; promising &= promising - 1) {
      size_t at = block + static_cast<size_t>(__builtin_ctz(promising));
      if (at > from && bytes[at - 1] == '<' && !StartsAttempt(bytes, from, at)) continue;
      if (MatchesOpeningAscii(bytes + at + 1)) return {at + 1, true, '<'};
      last_promising = at;
      from = at + 2;
    }
  }
  // The walk stops at the first attempt that cannot be decided here, else before the last
  // byte.
  size_t stop = size;
  size_t last_bracket = kNone;
  size_t run = kNone;
  for (size_t at = from > limit ? from : limit; at < size; ++at) {
    if (bytes[at] != '<') {
      run = kNone;
      continue;
    }
    if (run == kNone) {
      run = at;
      while (run > from && bytes[run - 1] == '<') --run;
    }
    if ((at - run) % 2 == 0) {
      stop = at;
      break;
    }
    last_bracket = at;
  }
  if (last_bracket == kNone && last_bracket_block != kNone && last_bracket_block + 16 > from) {
    unsigned after_from = last_brackets;
    if (from > last_bracket_block) after_from &= ~0u << (from - last_bracket_block);
    if (after_from != 0) {
      last_bracket = last_bracket_block + 31 - static_cast<size_t>(__builtin_clz(after_from));
    }
  }
  // The last attempt before the stop: the last "<" there, or the one before it in a run.
  size_t last_attempt = last_promising;
  if (last_bracket != kNone) {
    last_attempt = StartsAttempt(bytes, from, last_bracket) ? last_bracket : last_bracket - 1;
  }
  int attempt_byte = -1;
  if (last_attempt != kNone) {
    attempt_byte = bytes[last_attempt + kComparedLength];
    from = last_attempt + 2;
  }
  if (stop < size) return {stop, false, stop > from ? bytes[stop - 1] : attempt_byte};
  if (size - from >= 2) return {size - 1, false, bytes[size - 2]};
  return {from, false, attempt_byte};
}

QUILLON_SSE2_FLATTENED AttemptSkip SkipSse2(const unsigned char* bytes, size_t size,
                                            const CharacterClasses& classes) {
  if (classes.ascii) return SkipAscii(bytes, size);
  return Skip(
      bytes, size, BracketFinderSse2(bytes, size),
      [&classes](const unsigned char* bracket) { return MatchesOpening(bracket + 1, classes); });
}
#endif

}  // namespace

AttemptSkip SkipFailedAttemptsPlain(const unsigned char* bytes, size_t size,
                                    const CharacterClasses& classes) {
  auto next = [bytes, size](size_t from) {
    return static_cast<size_t>(FindBytePlain(bytes + from, bytes + size, '<') - bytes);
  };
  return Skip(bytes, size, next, [&classes](const unsigned char* bracket) {
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
