#pragma once
// Where the next byte the tokenizer must look at is: the searches that let it skip the rest.
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillon::html {

// The first `byte` in [p, end), or end. The first sixteen bytes are looked at in place (the
// next '<' of a page is often that near); beyond them the C library's search takes over.
inline const unsigned char* FindByte(const unsigned char* p, const unsigned char* end,
                                     unsigned char byte) {
#if defined(__SSE2__)
  if (end - p >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask =
        _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(byte))));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  const void* found = std::memchr(p, byte, static_cast<std::size_t>(end - p));
  return found == nullptr ? end : static_cast<const unsigned char*>(found);
}

// The first `first` or `second` in [p, end), or end.
inline const unsigned char* FindEither(const unsigned char* p, const unsigned char* end,
                                       unsigned char first, unsigned char second) {
#if defined(__SSE2__)
  const __m128i a = _mm_set1_epi8(static_cast<char>(first));
  const __m128i b = _mm_set1_epi8(static_cast<char>(second));
  while (end - p >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, a), _mm_cmpeq_epi8(block, b)));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && *p != first && *p != second) ++p;
  return p;
}

// The first of four bytes in [p, end), or end.
inline const unsigned char* FindAnyOf4(const unsigned char* p, const unsigned char* end,
                                       const unsigned char (&bytes)[4]) {
#if defined(__SSE2__)
  const __m128i a = _mm_set1_epi8(static_cast<char>(bytes[0]));
  const __m128i b = _mm_set1_epi8(static_cast<char>(bytes[1]));
  const __m128i c = _mm_set1_epi8(static_cast<char>(bytes[2]));
  const __m128i d = _mm_set1_epi8(static_cast<char>(bytes[3]));
  while (end - p >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i found =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, a), _mm_cmpeq_epi8(block, b)),
                     _mm_or_si128(_mm_cmpeq_epi8(block, c), _mm_cmpeq_epi8(block, d)));
    const int mask = _mm_movemask_epi8(found);
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && *p != bytes[0] && *p != bytes[1] && *p != bytes[2] && *p != bytes[3]) ++p;
  return p;
}

}  // namespace quillon::html
