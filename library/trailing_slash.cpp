#include "library/trailing_slash.h"

#include "library/anchor_opening.h"

namespace quillon {
namespace {

// Whether `byte` is the lower-case letter `letter` or its capital; nothing else is folded.
bool IsLetter(unsigned char byte, char letter) {
  return (byte | 0x20) == static_cast<unsigned char>(letter);
}

}  // namespace

bool NeedsTrailingSlash(const unsigned char* after_scheme, size_t length) {
  if (length == 0) return false;
  const unsigned char* end = after_scheme + length;
  unsigned char last = end[-1];
  if (last == '/') return false;
  // ".html" and ".htm" share ".htm": find where it would end.
  size_t htm_end = IsLetter(last, 'l') ? length - 1 : length;
  if (htm_end < 4) return true;
  const unsigned char* htm = after_scheme + htm_end - 4;
  return !(htm[0] == '.' && IsLetter(htm[1], 'h') && IsLetter(htm[2], 't') &&
           IsLetter(htm[3], 'm'));
}

void ApplyTrailingSlash(CString& url) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(url.GetString());
  if (NeedsTrailingSlash(text + kSchemeLength,
                         static_cast<size_t>(url.GetLength() - kSchemeLength))) {
    url += '/';
  }
}

}  // namespace quillon
