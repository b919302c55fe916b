#include "library/trailing_slash.h"

#include "library/anchor_opening.h"

namespace quillon {
namespace {

// Whether the `length` bytes at `text` end in `suffix` with their letters A to Z folded.
template <size_t N>
bool EndsWithFolded(const unsigned char* text, size_t length, const char (&suffix)[N]) {
  constexpr size_t count = N - 1;
  if (length < count) return false;
  const unsigned char* tail = text + length - count;
  for (size_t i = 0; i < count; ++i) {
    unsigned char byte = tail[i];
    if (byte >= 'A' && byte <= 'Z') byte = static_cast<unsigned char>(byte - 'A' + 'a');
    if (byte != static_cast<unsigned char>(suffix[i])) return false;
  }
  return true;
}

}  // namespace

bool NeedsTrailingSlash(const unsigned char* after_scheme, size_t length) {
  if (length == 0) return false;
  return after_scheme[length - 1] != '/' && !EndsWithFolded(after_scheme, length, ".html") &&
         !EndsWithFolded(after_scheme, length, ".htm");
}

void ApplyTrailingSlash(CString& url) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(url.GetString());
  if (NeedsTrailingSlash(text + kSchemeLength,
                         static_cast<size_t>(url.GetLength() - kSchemeLength))) {
    url += '/';
  }
}

}  // namespace quillon
