#pragma once
// BEGIN_SEARCH_ADD for callers inside the library's own build (tests, the fuzzer).
#include "library/quillon.h"

namespace quillon {

// Adopts the eight string objects (input, output, keywords 1 to 6) and performs one run.
void SearchAddresses(const QuillonString (&strings)[8]) noexcept;

}  // namespace quillon
