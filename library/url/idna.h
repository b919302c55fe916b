#pragma once
// Domain to ASCII: UTS #46 ToASCII as the URL Standard asks for it (non-transitional, no
// hyphen, STD3 or DNS length checks, bidi and joiner checks).
#include <cstddef>

#include "library/url/output.h"

namespace quillon::url {

// Replaces the percent-decoded domain at [begin, out.size()) by its ASCII form. An ASCII
// domain with no "xn--" label is only lower-cased, without libidn2 and without allocating.
// Returns false when the domain fails, or holds a forbidden domain code point after mapping.
bool DomainToAscii(Output& out, size_t begin);

}  // namespace quillon::url
