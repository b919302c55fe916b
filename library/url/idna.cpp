#include "library/url/idna.h"

#include <idn2.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "library/url/code_points.h"
#include "library/url/host_code_points.h"

namespace quillon::url {
namespace {

bool HasPunycodeLabel(std::string_view domain) {
  size_t label = 0;
  while (label <= domain.size()) {
    if (domain.size() - label >= 4 && AsciiLower(domain[label]) == 'x' &&
        AsciiLower(domain[label + 1]) == 'n' && domain[label + 2] == '-' &&
        domain[label + 3] == '-') {
      return true;
    }
    const size_t dot = domain.find('.', label);
    if (dot == std::string_view::npos) break;
    label = dot + 1;
  }
  return false;
}

bool IsValidUtf8(const unsigned char* p, const unsigned char* end) {
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const Utf8Sequence sequence = ReadUtf8(p, static_cast<size_t>(end - p));
    if (!sequence.valid) return false;
    p += sequence.length;
  }
  return true;
}

// libidn2 for the domains that need the mapping tables or Punycode.
bool LookUp(Output& out, size_t begin) {
  auto* const first = reinterpret_cast<unsigned char*>(out.data() + begin);
  auto* const last = reinterpret_cast<unsigned char*>(out.data() + out.size());
  // An invalid sequence would be U+FFFD, which UTS #46 disallows. An ASCII forbidden domain
  // code point maps to itself, so the result would fail too; this also keeps NUL out of the C
  // string.
  if (!IsValidUtf8(first, last)) return false;
  for (const unsigned char* p = first; p < last; ++p) {
    if (*p < 0x80 && IsForbiddenDomainCodePoint(*p)) return false;
  }
  if (out.room() == 0) return false;
  *last = '\0';
  char* ascii = nullptr;
  const int status = idn2_lookup_u8(first, reinterpret_cast<uint8_t**>(&ascii),
                                    IDN2_NONTRANSITIONAL | IDN2_NFC_INPUT);
  if (status != IDN2_OK) return false;
  const size_t length = std::strlen(ascii);
  out.Truncate(begin);
  out.Put({ascii, length});
  std::free(ascii);
  return !out.overflowed();
}

}  // namespace

bool DomainToAscii(Output& out, size_t begin) {
  // One pass lower-cases the ASCII letters and notes what else the domain holds.
  std::uint8_t seen = 0;
  char* const domain = out.data() + begin;
  const size_t length = out.size() - begin;
  for (size_t i = 0; i < length; ++i) {
    seen |= kDomainBytes[static_cast<unsigned char>(domain[i])];
    domain[i] = AsciiLower(domain[i]);
  }
  const bool lookup =
      (seen & kNonAsciiByte) != 0 || ((seen & kLetterX) != 0 && HasPunycodeLabel(out.View(begin)));
  if (lookup) {
    if (!LookUp(out, begin)) return false;
    seen = 0;
    for (char c : out.View(begin)) seen |= kDomainBytes[static_cast<unsigned char>(c)];
  }
  return out.size() != begin && (seen & kForbiddenDomainByte) == 0;
}

}  // namespace quillon::url
