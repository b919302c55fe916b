#include "library/sse2.h"

#if defined(__i386__) && !defined(__SSE2__)
#include <cpuid.h>

namespace quillon {
namespace {

bool ProcessorHasSse2() {
  unsigned eax, ebx, ecx, edx;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & bit_SSE2) != 0;
}

const bool processor_has_sse2 = ProcessorHasSse2();

}  // namespace

bool HasSse2() {
  return processor_has_sse2;
}

}  // namespace quillon
#endif
