#pragma once
// The host parser: a domain (through IDNA), IPv4 in all its forms, IPv6, or the opaque host of
// a non-special URL, appended to the output in its serialized form.
#include "library/url/output.h"

namespace quillon::url {

// Parses the host text [begin, end) (as it stood in the input, escapes and all) of a special
// URL or not, and appends its serialization. Returns false when it is no host.
bool ParseHost(const unsigned char* begin, const unsigned char* end, bool special, Output& out);

}  // namespace quillon::url
