#pragma once
// Finding one byte value fast, the same way on every target.
#include <cstring>

#include "library/sse2.h"

namespace quillon {

#ifdef QUILLON_X86
QUILLON_SSE2 inline unsigned MatchMask16(const unsigned char* at, __m128i wanted) {
  return static_cast<unsigned>(_mm_movemask_epi8(
      _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), wanted)));
}

// Whether none of the sixty-four bytes at `at` is `wanted`'s byte.
QUILLON_SSE2 inline bool NoneIn64(const unsigned char* at, __m128i wanted) {
  const __m128i* blocks = reinterpret_cast<const __m128i*>(at);
  __m128i any = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(_mm_loadu_si128(blocks), wanted),
                                          _mm_cmpeq_epi8(_mm_loadu_si128(blocks + 1), wanted)),
                             _mm_or_si128(_mm_cmpeq_epi8(_mm_loadu_si128(blocks + 2), wanted),
                                          _mm_cmpeq_epi8(_mm_loadu_si128(blocks + 3), wanted)));
  return _mm_movemask_epi8(any) == 0;
}

// Passes over the 128-byte blocks from `at` on that hold no `wanted` byte, eight loads a turn:
// where the first block that holds one starts, or where fewer than 128 bytes are left.
QUILLON_SSE2 inline const unsigned char* SkipBlocksWithout(const unsigned char* at,
                                                           const unsigned char* last,
                                                           __m128i wanted) {
  while (last - at >= 128) {
    const __m128i* blocks = reinterpret_cast<const __m128i*>(at);
    __m128i any = _mm_or_si128(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(_mm_loadu_si128(blocks), wanted),
                                  _mm_cmpeq_epi8(_mm_loadu_si128(blocks + 1), wanted)),
                     _mm_or_si128(_mm_cmpeq_epi8(_mm_loadu_si128(blocks + 2), wanted),
                                  _mm_cmpeq_epi8(_mm_loadu_si128(blocks + 3), wanted))),
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(_mm_loadu_si128(blocks + 4), wanted),
                                  _mm_cmpeq_epi8(_mm_loadu_si128(blocks + 5), wanted)),
                     _mm_or_si128(_mm_cmpeq_epi8(_mm_loadu_si128(blocks + 6), wanted),
                                  _mm_cmpeq_epi8(_mm_loadu_si128(blocks + 7), wanted))));
    if (_mm_movemask_epi8(any) != 0) break;
    at += 128;
  }
  return at;
}

// Passes over a long stretch that may hold no `byte`: returns a point in [first, last] at or
// before the first `byte` there, with none before it. Where the C library's memchr is the
// fastest search the machine offers (glibc), it finds the byte itself; elsewhere the stretch
// goes by 128 bytes a turn.
QUILLON_SSE2 inline const unsigned char* JumpTowards(const unsigned char* first,
                                                     const unsigned char* last,
                                                     unsigned char byte) {
#ifdef __GLIBC__
  if (first >= last) return last;
  const void* found = std::memchr(first, byte, static_cast<size_t>(last - first));
  return found != nullptr ? static_cast<const unsigned char*>(found) : last;
#else
  return SkipBlocksWithout(first, last, _mm_set1_epi8(static_cast<char>(byte)));
#endif
}

// Sixteen bytes a turn near the start, where an address's closing quote usually is; long
// stretches, as in text without markup, 128 bytes a turn.
QUILLON_SSE2 inline const unsigned char* FindByteSse2(const unsigned char* first,
                                                      const unsigned char* last,
                                                      unsigned char byte) {
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(byte));
  const unsigned char* at = first;
  for (int turn = 0; turn < 4 && last - at >= 16; ++turn, at += 16) {
    unsigned mask = MatchMask16(at, wanted);
    if (mask != 0) return at + __builtin_ctz(mask);
  }
  at = SkipBlocksWithout(at, last, wanted);
  while (last - at >= 16) {
    unsigned mask = MatchMask16(at, wanted);
    if (mask != 0) return at + __builtin_ctz(mask);
    at += 16;
  }
  for (; at < last; ++at) {
    if (*at == byte) return at;
  }
  return last;
}
#endif

// The first `byte` in [first, last), or `last` when there is none, without the sixteen-byte
// path (for processors without SSE2, and for tests).
inline const unsigned char* FindBytePlain(const unsigned char* first, const unsigned char* last,
                                          unsigned char byte) {
  if (first >= last) return last;
  const void* found = std::memchr(first, byte, static_cast<size_t>(last - first));
  return found != nullptr ? static_cast<const unsigned char*>(found) : last;
}

// The first `byte` in [first, last), or `last` when there is none. Reads nothing outside the
// range.
inline const unsigned char* FindByte(const unsigned char* first, const unsigned char* last,
                                     unsigned char byte) {
#ifdef QUILLON_X86
  if (HasSse2()) return FindByteSse2(first, last, byte);
#endif
  return FindBytePlain(first, last, byte);
}

}  // namespace quillon
