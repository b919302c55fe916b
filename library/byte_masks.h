#pragma once
// The words of the sixteen-byte code: loads and stores of sixteen bytes, which bytes of a block
// equal a value, as a bit mask, and the lowest bit of a mask; the searches have a plain form
// too. Only the candidate finders, the comparison of an opening and the printable copy use
// them.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "library/sse2.h"

namespace quillon {

// The lowest set bit of a mask that is not 0; a 32-bit build takes it in halves rather than
// call the compiler's helper.
inline unsigned LowestBit(std::uint64_t mask) {
#ifdef __x86_64__
  return static_cast<unsigned>(__builtin_ctzll(mask));
#else
  auto low = static_cast<std::uint32_t>(mask);
  if (low != 0) return static_cast<unsigned>(__builtin_ctz(low));
  return 32 + static_cast<unsigned>(__builtin_ctz(static_cast<std::uint32_t>(mask >> 32)));
#endif
}

// The first `byte` in [first, last), or `last`, through the C library.
inline const unsigned char* FindBytePlain(const unsigned char* first, const unsigned char* last,
                                          unsigned char byte) {
  if (first >= last) return last;
  const void* found = std::memchr(first, byte, static_cast<size_t>(last - first));
  return found != nullptr ? static_cast<const unsigned char*>(found) : last;
}

#ifdef QUILLON_X86
QUILLON_SSE2 inline __m128i Load16(const unsigned char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

QUILLON_SSE2 inline void Store16(unsigned char* at, __m128i bytes) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(at), bytes);
}

QUILLON_SSE2 inline unsigned Mask16(__m128i bytes) {
  return static_cast<unsigned>(_mm_movemask_epi8(bytes));
}

QUILLON_SSE2 inline unsigned EqualMask16(const unsigned char* at, __m128i value) {
  return Mask16(_mm_cmpeq_epi8(Load16(at), value));
}

// Four sixteen-byte comparison results as one mask of sixty-four bits.
QUILLON_SSE2 inline std::uint64_t Mask64(__m128i first, __m128i second, __m128i third,
                                         __m128i fourth) {
  return static_cast<std::uint64_t>(Mask16(first)) |
         static_cast<std::uint64_t>(Mask16(second)) << 16 |
         static_cast<std::uint64_t>(Mask16(third)) << 32 |
         static_cast<std::uint64_t>(Mask16(fourth)) << 48;
}

// Whether any of the 128 bytes at `at` is `value`'s byte, eight loads at once.
QUILLON_SSE2 inline bool AnyIn128(const unsigned char* at, __m128i value) {
  __m128i any = _mm_or_si128(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(Load16(at), value),
                                                       _mm_cmpeq_epi8(Load16(at + 16), value)),
                                          _mm_or_si128(_mm_cmpeq_epi8(Load16(at + 32), value),
                                                       _mm_cmpeq_epi8(Load16(at + 48), value))),
                             _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(Load16(at + 64), value),
                                                       _mm_cmpeq_epi8(Load16(at + 80), value)),
                                          _mm_or_si128(_mm_cmpeq_epi8(Load16(at + 96), value),
                                                       _mm_cmpeq_epi8(Load16(at + 112), value))));
  return Mask16(any) != 0;
}

// A point in [first, last] at or before the first `byte` there, with none before it: a long
// stretch that may hold none goes by fast. glibc's memchr is the fastest search the machine
// offers; elsewhere (msvcrt's is a byte loop) 128 bytes a turn.
QUILLON_SSE2 inline const unsigned char* JumpTowards(const unsigned char* first,
                                                     const unsigned char* last,
                                                     unsigned char byte) {
#ifdef __GLIBC__
  return FindBytePlain(first, last, byte);
#else
  const __m128i value = _mm_set1_epi8(static_cast<char>(byte));
  while (last - first >= 128 && !AnyIn128(first, value)) first += 128;
  return first;
#endif
}

// The first `byte` in [first, last), or `last`: sixteen bytes a turn near the start, where an
// address's closing quote usually is, then long jumps.
QUILLON_SSE2 inline const unsigned char* FindByteWide(const unsigned char* first,
                                                      const unsigned char* last,
                                                      unsigned char byte) {
  const __m128i value = _mm_set1_epi8(static_cast<char>(byte));
  const unsigned char* at = first;
  for (int turn = 0;; ++turn, at += 16) {
    if (last - at < 16) break;
    if (turn == 4) {
      at = JumpTowards(at, last, byte);
      turn = 0;
      if (last - at < 16) break;
    }
    unsigned mask = EqualMask16(at, value);
    if (mask != 0) return at + LowestBit(mask);
  }
  for (; at < last; ++at) {
    if (*at == byte) return at;
  }
  return last;
}
#endif

}  // namespace quillon
