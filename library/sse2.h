#pragma once
// The sixteen-byte paths of the scan. Every x86-64 processor has SSE2. A 32-bit x86 build may
// not assume it, so there only the functions marked QUILLON_SSE2 use it, and only after the
// processor has said it has it; the plain paths serve one that has not.
#if defined(__x86_64__) || defined(__i386__)
#define QUILLON_X86 1
#include <emmintrin.h>
#define QUILLON_SSE2 __attribute__((target("sse2")))
// For a loop written once for both paths: everything it calls is compiled into it, with SSE2.
#define QUILLON_SSE2_FLATTENED __attribute__((target("sse2"), flatten))
#endif

namespace quillon {

#if defined(__x86_64__) || defined(__SSE2__)
inline bool HasSse2() {
  return true;
}
#elif defined(__i386__)
// Asked of the processor once, when the library is loaded.
bool HasSse2();
#else
inline bool HasSse2() {
  return false;
}
#endif

}  // namespace quillon
