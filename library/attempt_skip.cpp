#include "library/attempt_skip.h"

#include <cstdint>

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
    while (size_ - from >= 64 && NoneIn64(bytes_ + from, bracket)) from += 64;
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

// The lowest and the highest set bit of a mask that is not 0; a 32-bit build takes them in
// halves rather than call the compiler's helper for each.
inline size_t LowestBit(std::uint64_t mask) {
#ifdef __x86_64__
  return static_cast<size_t>(__builtin_ctzll(mask));
#else
  auto low = static_cast<std::uint32_t>(mask);
  if (low != 0) return static_cast<size_t>(__builtin_ctz(low));
  return 32 + static_cast<size_t>(__builtin_ctz(static_cast<std::uint32_t>(mask >> 32)));
#endif
}
inline size_t HighestBit(std::uint64_t mask) {
#ifdef __x86_64__
  return 63 - static_cast<size_t>(__builtin_clzll(mask));
#else
  auto high = static_cast<std::uint32_t>(mask >> 32);
  if (high != 0) return 63 - static_cast<size_t>(__builtin_clz(high));
  return 31 - static_cast<size_t>(__builtin_clz(static_cast<std::uint32_t>(mask)));
#endif
}

QUILLON_SSE2 inline __m128i Load16(const unsigned char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

QUILLON_SSE2 inline std::uint64_t BracketMask(const unsigned char* at, size_t count) {
  const __m128i bracket = _mm_set1_epi8('<');
  std::uint64_t mask = 0;
  for (size_t i = 0; i < count; i += 16) {
    mask |= static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(Load16(at + i), bracket))))
            << i;
  }
  return mask;
}

QUILLON_SSE2 inline std::uint64_t Mask64(__m128i first, __m128i second, __m128i third,
                                         __m128i fourth) {
  return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(first))) |
         static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(second))) << 16 |
         static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(third))) << 32 |
         static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(fourth))) << 48;
}

// Which of the sixteen "<" marks in `brackets` (one 0xFF byte each) stand before an "a" or
// "A": they start the attempts that may open an anchor. Every other attempt fails on its
// first compared byte.
QUILLON_SSE2 inline __m128i Promising16(__m128i brackets, const unsigned char* at) {
  __m128i next = _mm_or_si128(Load16(at + 1), _mm_set1_epi8(0x20));
  return _mm_and_si128(brackets, _mm_cmpeq_epi8(next, _mm_set1_epi8('a')));
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
  // The last stretch of the walk that held a "<", and its length.
  size_t bracket_stretch = kNone;
  size_t bracket_stretch_length = 0;
  // Sixty-four bytes a turn, sixteen at the end of the block.
  for (size_t block = 0, width = 64; block < limit; block += width) {
    std::uint64_t promising;
    if (limit - block >= 64) {
      const unsigned char* at = bytes + block;
      __m128i brackets0 = _mm_cmpeq_epi8(Load16(at), bracket);
      __m128i brackets1 = _mm_cmpeq_epi8(Load16(at + 16), bracket);
      __m128i brackets2 = _mm_cmpeq_epi8(Load16(at + 32), bracket);
      __m128i brackets3 = _mm_cmpeq_epi8(Load16(at + 48), bracket);
      __m128i any =
          _mm_or_si128(_mm_or_si128(brackets0, brackets1), _mm_or_si128(brackets2, brackets3));
      if (_mm_movemask_epi8(any) == 0) {
        // Text without markup: a long jump to where the next "<" may be.
        block = static_cast<size_t>(JumpTowards(at + 64, bytes + limit, '<') - bytes) - 64;
        continue;
      }
      bracket_stretch = block;
      bracket_stretch_length = 64;
      __m128i promising0 = Promising16(brackets0, at);
      __m128i promising1 = Promising16(brackets1, at + 16);
      __m128i promising2 = Promising16(brackets2, at + 32);
      __m128i promising3 = Promising16(brackets3, at + 48);
      __m128i any_promising =
          _mm_or_si128(_mm_or_si128(promising0, promising1), _mm_or_si128(promising2, promising3));
      if (_mm_movemask_epi8(any_promising) == 0) continue;
      promising = Mask64(promising0, promising1, promising2, promising3);
    } else {
      width = 16;
      __m128i brackets = _mm_cmpeq_epi8(Load16(bytes + block), bracket);
      unsigned within = limit - block < 16 ? (1u << (limit - block)) - 1 : 0xFFFF;
      if ((static_cast<unsigned>(_mm_movemask_epi8(brackets)) & within) == 0) continue;
      bracket_stretch = block;
      bracket_stretch_length = 16;
      promising =
          static_cast<unsigned>(_mm_movemask_epi8(Promising16(brackets, bytes + block))) & within;
    }
    if (from > block) promising &= from - block < 64 ? ~std::uint64_t{0} << (from - block) : 0;
    for (; promising != 0; promising &= promising - 1) {
      size_t at = block + LowestBit(promising);
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
  if (last_bracket == kNone && bracket_stretch != kNone &&
      bracket_stretch + bracket_stretch_length > from) {
    std::uint64_t after_from = BracketMask(bytes + bracket_stretch, bracket_stretch_length);
    size_t before_limit = limit - bracket_stretch;
    if (before_limit < 64) after_from &= (std::uint64_t{1} << before_limit) - 1;
    if (from > bracket_stretch) after_from &= ~std::uint64_t{0} << (from - bracket_stretch);
    if (after_from != 0) {
      last_bracket = bracket_stretch + HighestBit(after_from);
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
