#pragma once
#include <array>

#include "framework/cstring.h"

namespace quillon {

// The run's six exclusion keywords in argument order; any of them may be empty.
using ExclusionKeywords = std::array<const CString*, 6>;

}  // namespace quillon
