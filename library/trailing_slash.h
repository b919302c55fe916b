#pragma once
// The trailing-slash rule: an address that ends neither like a page (".html", ".htm", the
// letters A to Z in any case) nor like a directory ("/") gets a "/".
#include <cstddef>

#include "framework/cstring.h"

namespace quillon {

// Applies the rule to `url`, which starts with the scheme.
void ApplyTrailingSlash(CString& url);

}  // namespace quillon
