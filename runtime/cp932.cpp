#include "runtime/cp932.h"

#include <cerrno>
#include <iconv.h>

namespace crt {

std::string Cp932ToUtf8(std::string_view text) {
  static const char kReplacement[] = "\xEF\xBF\xBD";
  std::string converted;
  iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    // No converter on this system: keep ASCII, mark the rest.
    for (char byte : text)
      converted += (static_cast<unsigned char>(byte) < 0x80) ? std::string(1, byte) : kReplacement;
    return converted;
  }
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  char chunk[256];
  while (in_left > 0) {
    char* out = chunk;
    size_t out_left = sizeof chunk;
    size_t result = iconv(converter, &in, &in_left, &out, &out_left);
    converted.append(chunk, static_cast<size_t>(out - chunk));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // An invalid or cut-off sequence: replace one byte and go on.
      converted += kReplacement;
      ++in;
      --in_left;
    }
  }
  iconv_close(converter);
  return converted;
}

}  // namespace crt
