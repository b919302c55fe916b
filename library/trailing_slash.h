#pragma once
// The trailing-slash rule: an address that ends neither like a page (".html", ".htm", the
// letters A to Z in any case) nor like a directory ("/") gets a "/".
#include <cstddef>

#include "framework/cstring.h"

namespace quillon {

// Whether the address made of the scheme and the `length` bytes at `after_scheme` needs the
// "/". The scheme itself ends in "/", and no suffix of the rule reaches back into it.
bool NeedsTrailingSlash(const unsigned char* after_scheme, size_t length);

// Applies the rule to `url`, which starts with the scheme.
void ApplyTrailingSlash(CString& url);

}  // namespace quillon
