// The Encoding Standard's UTF-8 decoder, as a validator: valid input passes through as it
// stands, and each maximal subpart of an invalid sequence becomes one U+FFFD. Streaming: a
// sequence split across calls is held (at most three bytes) until its end arrives.
#ifndef QUILLON_LIBRARY_ENCODING_UTF8_H
#define QUILLON_LIBRARY_ENCODING_UTF8_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillon::encoding {

// U+FFFD in UTF-8.
inline constexpr unsigned char kReplacementUtf8[3] = {0xEF, 0xBF, 0xBD};

// How many bytes a sequence with this lead byte has: 1 to 4, or 0 for a byte that cannot
// start one (a continuation byte, C0, C1, F5 to FF).
constexpr unsigned Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC2) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF5) return 4;
  return 0;
}

// Whether `byte` may stand at `index` (1 to 3) of a sequence led by `lead`: the second byte's
// bounds exclude overlong forms, surrogates and code points above U+10FFFF.
constexpr bool Utf8Continues(unsigned char lead, unsigned index, unsigned char byte) {
  unsigned char lower = 0x80, upper = 0xBF;
  if (index == 1) {
    if (lead == 0xE0) lower = 0xA0;
    if (lead == 0xED) upper = 0x9F;
    if (lead == 0xF0) lower = 0x90;
    if (lead == 0xF4) upper = 0x8F;
  }
  return byte >= lower && byte <= upper;
}

// How many bytes at the start of `bytes` are ASCII: sixteen at a time where SSE2 is there.
inline size_t AsciiPrefixLength(const unsigned char* bytes, size_t size) {
  size_t i = 0;
#if defined(__SSE2__)
  while (size - i >= 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    unsigned high = static_cast<unsigned>(_mm_movemask_epi8(block));
    if (high != 0) return i + static_cast<size_t>(__builtin_ctz(high));
    i += 16;
  }
#else
  while (size - i >= 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    if ((word & 0x8080808080808080ull) != 0) break;
    i += 8;
  }
#endif
  while (i < size && bytes[i] < 0x80) ++i;
  return i;
}

// `Out` has `void Valid(const unsigned char* bytes, size_t size)`, called with runs of valid
// UTF-8 (pointing into the input, or into the decoder for a sequence completed across calls),
// and `void Replacement()`, called for each U+FFFD, in input order.
class Utf8Decoder {
 public:
  template <class Out>
  void Decode(const unsigned char* bytes, size_t size, Out& out);

  // The input ended: an unfinished sequence becomes one U+FFFD.
  template <class Out>
  void Finish(Out& out) {
    if (held_size_ != 0) out.Replacement();
    held_size_ = 0;
  }

  void Reset() { held_size_ = 0; }

 private:
  // Completes the held sequence from the front of the input; returns the bytes used.
  template <class Out>
  size_t CompleteHeld(const unsigned char* bytes, size_t size, Out& out);

  unsigned char held_[4] = {};
  unsigned held_size_ = 0;
};

template <class Out>
size_t Utf8Decoder::CompleteHeld(const unsigned char* bytes, size_t size, Out& out) {
  const unsigned length = Utf8SequenceLength(held_[0]);
  size_t used = 0;
  while (held_size_ < length) {
    if (used == size) return used;
    if (!Utf8Continues(held_[0], held_size_, bytes[used])) {
      // The byte that broke the sequence is read again on its own.
      held_size_ = 0;
      out.Replacement();
      return used;
    }
    held_[held_size_++] = bytes[used++];
  }
  held_size_ = 0;
  out.Valid(held_, length);
  return used;
}

template <class Out>
void Utf8Decoder::Decode(const unsigned char* bytes, size_t size, Out& out) {
  size_t i = 0;
  if (held_size_ != 0) {
    i = CompleteHeld(bytes, size, out);
    if (held_size_ != 0) return;
  }
  size_t run = i;  // start of the valid run not yet handed over
  while (i < size) {
    const unsigned char lead = bytes[i];
    if (lead < 0x80) {
      i += AsciiPrefixLength(bytes + i, size - i);
      continue;
    }
    // Whole valid sequences with room after them, the common case of non-ASCII text.
    if (size - i >= 4) {
      const unsigned char second = bytes[i + 1];
      if (lead >= 0xC2 && lead <= 0xDF) {
        if ((second & 0xC0) == 0x80) {
          i += 2;
          continue;
        }
      } else if (lead >= 0xE0 && lead <= 0xEF) {
        if (Utf8Continues(lead, 1, second) && (bytes[i + 2] & 0xC0) == 0x80) {
          i += 3;
          continue;
        }
      } else if (lead >= 0xF0 && lead <= 0xF4) {
        if (Utf8Continues(lead, 1, second) && (bytes[i + 2] & 0xC0) == 0x80 &&
            (bytes[i + 3] & 0xC0) == 0x80) {
          i += 4;
          continue;
        }
      }
    }
    const unsigned length = Utf8SequenceLength(lead);
    unsigned k = 1;
    if (length != 0) {
      while (k < length && i + k < size && Utf8Continues(lead, k, bytes[i + k])) ++k;
      if (k == length) {
        i += length;
        continue;
      }
      if (i + k == size) {  // a valid beginning cut by the end of this input: keep it
        if (i > run) out.Valid(bytes + run, i - run);
        std::memcpy(held_, bytes + i, k);
        held_size_ = k;
        return;
      }
    }
    if (i > run) out.Valid(bytes + run, i - run);
    out.Replacement();
    i += k;
    run = i;
  }
  if (i > run) out.Valid(bytes + run, i - run);
}

}  // namespace quillon::encoding

#endif  // QUILLON_LIBRARY_ENCODING_UTF8_H
