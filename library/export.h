#pragma once
// BEGIN_SEARCH_ADD with the I/O mode as a parameter: the export runs in block mode; tests run
// both modes through this one way in.
#include "library/io_mode.h"
#include "library/quillon.h"

namespace quillon {

// Adopts the eight string objects (input, output, keywords 1 to 6) and performs one run.
void SearchAddresses(IoMode mode, const QuillonString (&strings)[8]) noexcept;

}  // namespace quillon
