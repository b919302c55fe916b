#include "runtime/cp932.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <mutex>

namespace crt {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";
constexpr size_t kReplacementLength = sizeof kReplacement - 1;

// Opened at the first conversion and kept, so that later ones need no memory; one conversion
// at a time uses it.
std::mutex converter_lock;
iconv_t converter = reinterpret_cast<iconv_t>(-1);

size_t ReplaceAllButAscii(std::string_view& text, char* out, size_t room) {
  size_t written = 0;
  while (!text.empty()) {
    bool ascii = static_cast<unsigned char>(text[0]) < 0x80;
    size_t length = ascii ? 1 : kReplacementLength;
    if (room - written < length) break;
    std::memcpy(out + written, ascii ? text.data() : kReplacement, length);
    written += length;
    text.remove_prefix(1);
  }
  return written;
}

}  // namespace

size_t Cp932ToUtf8Part(std::string_view& text, char* out, size_t room) noexcept {
  std::lock_guard<std::mutex> lock(converter_lock);
  if (converter == reinterpret_cast<iconv_t>(-1)) converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return ReplaceAllButAscii(text, out, room);
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  char* put = out;
  size_t put_left = room;
  while (in_left > 0 &&
         iconv(converter, &in, &in_left, &put, &put_left) == static_cast<size_t>(-1)) {
    if (errno == E2BIG || put_left < kReplacementLength) break;
    // An invalid or cut-off sequence: replace one byte and go on.
    std::memcpy(put, kReplacement, kReplacementLength);
    put += kReplacementLength;
    put_left -= kReplacementLength;
    ++in;
    --in_left;
  }
  text.remove_prefix(text.size() - in_left);
  return static_cast<size_t>(put - out);
}

std::string Cp932ToUtf8(std::string_view text) {
  std::string converted;
  char chunk[256];
  while (!text.empty()) converted.append(chunk, Cp932ToUtf8Part(text, chunk, sizeof chunk));
  return converted;
}

}  // namespace crt
