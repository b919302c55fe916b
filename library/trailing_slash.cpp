#include "library/trailing_slash.h"

#include "library/anchor_opening.h"
#include "library/url_record.h"

namespace quillon {
void ApplyTrailingSlash(CString& url) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(url.GetString());
  if (NeedsTrailingSlash(text + kSchemeLength,
                         static_cast<size_t>(url.GetLength() - kSchemeLength))) {
    url += '/';
  }
}

}  // namespace quillon
