#include "library/url/idna.h"

#include <idn2.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "library/url/code_points.h"
#include "library/url/host_code_points.h"

namespace quillon::url {
namespace {

bool StartsWithPunycodePrefix(std::string_view label) {
  return label.size() >= 4 && AsciiLower(label[0]) == 'x' && AsciiLower(label[1]) == 'n' &&
         label[2] == '-' && label[3] == '-';
}

bool HasPunycodeLabel(std::string_view domain) {
  size_t label = 0;
  while (true) {
    if (StartsWithPunycodePrefix(domain.substr(label))) return true;
    const size_t dot = domain.find('.', label);
    if (dot == std::string_view::npos) return false;
    label = dot + 1;
  }
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
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

// libidn2, label by label, for the domains that need the mapping tables or Punycode. An ASCII
// label without "xn--" is only lower-cased (as it already is): libidn2 would hold it to
// IDNA2008's hyphen and length rules, which the URL Standard's ToASCII leaves out.
bool LookUp(Output& out, size_t begin) {
  const size_t domain_end = out.size();
  auto* const first = reinterpret_cast<unsigned char*>(out.data() + begin);
  auto* const last = reinterpret_cast<unsigned char*>(out.data() + domain_end);
  // An invalid sequence would be U+FFFD, which UTS #46 disallows. An ASCII forbidden domain
  // code point maps to itself, so the result would fail too; this also keeps NUL out of the C
  // strings.
  if (!IsValidUtf8(first, last)) return false;
  for (const unsigned char* p = first; p < last; ++p) {
    if (*p < 0x80 && IsForbiddenDomainCodePoint(*p)) return false;
  }
  // The ASCII form is built after the domain, then moved down over it.
  size_t label = begin;
  while (true) {
    const std::string_view rest(out.data() + label, domain_end - label);
    const size_t dot = std::min(rest.find('.'), rest.size());
    const std::string_view text = rest.substr(0, dot);
    if (label > begin) out.Put('.');
    const bool ascii_label = IsAscii(text);
    if (ascii_label && !StartsWithPunycodePrefix(text)) {
      out.Put(text);
    } else {
      // An "xn--" label is checked by decoding it and encoding the result again, which is
      // what validates it. A label mapped and encoded here needs no such check, and skipping
      // it spares the result IDNA2008's rules where UTS #46 is laxer (an ASCII ';' beside an
      // accented letter).
      const int flags =
          IDN2_NONTRANSITIONAL | IDN2_NFC_INPUT | (ascii_label ? 0 : IDN2_NO_ALABEL_ROUNDTRIP);
      const size_t copy = out.size();
      out.Put(text);
      out.Put('\0');
      if (out.overflowed()) return false;
      char* ascii = nullptr;
      const int status = idn2_lookup_u8(reinterpret_cast<const uint8_t*>(out.data() + copy),
                                        reinterpret_cast<uint8_t**>(&ascii), flags);
      out.Truncate(copy);
      if (status != IDN2_OK) return false;
      out.Put({ascii, std::strlen(ascii)});
      std::free(ascii);
    }
    if (label + dot == domain_end) break;
    label += dot + 1;
  }
  if (out.overflowed()) return false;
  const size_t length = out.size() - domain_end;
  std::memmove(out.data() + begin, out.data() + domain_end, length);
  out.Truncate(begin + length);
  return true;
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
      (seen & kNonAsciiByte) != 0 || ((seen & kHyphen) != 0 && HasPunycodeLabel(out.View(begin)));
  if (lookup) {
    if (!LookUp(out, begin)) return false;
    seen = 0;
    for (char c : out.View(begin)) seen |= kDomainBytes[static_cast<unsigned char>(c)];
  }
  return out.size() != begin && (seen & kForbiddenDomainByte) == 0;
}

}  // namespace quillon::url
