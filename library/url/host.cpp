#include "library/url/host.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "library/url/code_points.h"
#include "library/url/host_code_points.h"
#include "library/url/idna.h"
#include "library/url/percent_encode.h"

namespace quillon::url {
namespace {

// Any value above this fails every IPv4 use, so parsing may stop growing there.
constexpr std::uint64_t kIpv4Saturated = 1ull << 33;

// An IPv4 number: decimal, octal after "0", hexadecimal after "0x"; "0x" alone is 0.
bool ParseIpv4Number(std::string_view text, std::uint64_t& value) {
  if (text.empty()) return false;
  unsigned radix = 10;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    radix = 16;
  } else if (text.size() >= 2 && text[0] == '0') {
    text.remove_prefix(1);
    radix = 8;
  }
  value = 0;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    unsigned digit;
    if (radix == 16) {
      if (!IsAsciiHexDigit(u)) return false;
      digit = HexValue(u);
    } else {
      if (!IsAsciiDigit(u)) return false;
      digit = u - '0';
      if (digit >= radix) return false;
    }
    value = value * radix + digit;
    if (value > kIpv4Saturated) value = kIpv4Saturated;
  }
  return true;
}

// Whether the last label (a trailing empty one aside) is a number: such a domain must be IPv4.
bool EndsInNumber(std::string_view domain) {
  if (!domain.empty() && domain.back() == '.') domain.remove_suffix(1);
  const size_t dot = domain.rfind('.');
  const std::string_view last = dot == std::string_view::npos ? domain : domain.substr(dot + 1);
  if (last.empty()) return false;
  bool digits = true;
  for (char c : last) digits &= IsAsciiDigit(static_cast<unsigned char>(c));
  if (digits) return true;
  std::uint64_t ignored;
  return ParseIpv4Number(last, ignored);
}

bool ParseIpv4(std::string_view domain, std::uint32_t& address) {
  if (!domain.empty() && domain.back() == '.') domain.remove_suffix(1);
  std::uint64_t numbers[4];
  size_t count = 0;
  size_t begin = 0;
  while (true) {
    const size_t dot = domain.find('.', begin);
    const std::string_view part =
        domain.substr(begin, dot == std::string_view::npos ? std::string_view::npos : dot - begin);
    if (count == 4 || !ParseIpv4Number(part, numbers[count])) return false;
    ++count;
    if (dot == std::string_view::npos) break;
    begin = dot + 1;
  }
  for (size_t i = 0; i + 1 < count; ++i) {
    if (numbers[i] > 255) return false;
  }
  const std::uint64_t last = numbers[count - 1];
  if (last >= (1ull << (8 * (5 - count)))) return false;
  std::uint64_t value = last;
  for (size_t i = 0; i + 1 < count; ++i) value += numbers[i] << (8 * (3 - i));
  address = static_cast<std::uint32_t>(value);
  return true;
}

void PutDecimal(unsigned value, Output& out) {
  char digits[10];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) out.Put(digits[--n]);
}

void SerializeIpv4(std::uint32_t address, Output& out) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    PutDecimal((address >> shift) & 0xFF, out);
    if (shift != 0) out.Put('.');
  }
}

bool ParseIpv6(const unsigned char* p, const unsigned char* end, std::uint16_t (&address)[8]) {
  for (auto& piece : address) piece = 0;
  int piece_index = 0;
  int compress = -1;
  auto at = [&](const unsigned char* q) { return q < end ? *q : 0; };
  if (at(p) == ':') {
    if (at(p + 1) != ':') return false;
    p += 2;
    compress = ++piece_index;
  }
  while (p < end) {
    if (piece_index == 8) return false;
    if (*p == ':') {
      if (compress != -1) return false;
      ++p;
      compress = ++piece_index;
      continue;
    }
    unsigned value = 0;
    int length = 0;
    while (length < 4 && p < end && IsAsciiHexDigit(*p)) {
      value = value * 16 + HexValue(*p++);
      ++length;
    }
    if (at(p) == '.') {
      if (length == 0) return false;
      p -= length;
      if (piece_index > 6) return false;
      int numbers_seen = 0;
      while (p < end) {
        int ipv4_piece = -1;
        if (numbers_seen > 0) {
          if (*p == '.' && numbers_seen < 4) {
            ++p;
          } else {
            return false;
          }
        }
        if (!IsAsciiDigit(at(p))) return false;
        while (p < end && IsAsciiDigit(*p)) {
          const int number = *p - '0';
          if (ipv4_piece == -1) {
            ipv4_piece = number;
          } else if (ipv4_piece == 0) {
            return false;
          } else {
            ipv4_piece = ipv4_piece * 10 + number;
          }
          if (ipv4_piece > 255) return false;
          ++p;
        }
        address[piece_index] =
            static_cast<std::uint16_t>(address[piece_index] * 0x100 + ipv4_piece);
        ++numbers_seen;
        if (numbers_seen == 2 || numbers_seen == 4) ++piece_index;
      }
      if (numbers_seen != 4) return false;
      break;
    }
    if (at(p) == ':') {
      ++p;
      if (p == end) return false;
    } else if (p < end) {
      return false;
    }
    address[piece_index++] = static_cast<std::uint16_t>(value);
  }
  if (compress != -1) {
    int swaps = piece_index - compress;
    piece_index = 7;
    while (piece_index != 0 && swaps > 0) {
      std::swap(address[piece_index], address[compress + swaps - 1]);
      --piece_index;
      --swaps;
    }
  } else if (piece_index != 8) {
    return false;
  }
  return true;
}

void SerializeIpv6(const std::uint16_t (&address)[8], Output& out) {
  // The first longest run of two or more zero pieces is written "::".
  int compress = -1, longest = 1;
  for (int i = 0; i < 8;) {
    int j = i;
    while (j < 8 && address[j] == 0) ++j;
    if (j - i > longest) {
      longest = j - i;
      compress = i;
    }
    i = j == i ? i + 1 : j;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  out.Put('[');
  for (int i = 0; i < 8; ++i) {
    if (i == compress) {
      out.Put(i == 0 ? "::" : ":");
      i += longest - 1;
      continue;
    }
    const unsigned piece = address[i];
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
      const unsigned digit = (piece >> shift) & 15;
      if (digit != 0 || started || shift == 0) {
        out.Put(kHex[digit]);
        started = true;
      }
    }
    if (i != 7) out.Put(':');
  }
  out.Put(']');
}

bool ParseOpaqueHost(const unsigned char* begin, const unsigned char* end, Output& out) {
  for (const unsigned char* p = begin; p < end; ++p) {
    if (IsForbiddenHostCodePoint(*p)) return false;
  }
  PercentEncode(begin, end, kC0ControlSet, 0, out);
  return true;
}

bool ParseDomain(const unsigned char* begin, const unsigned char* end, Output& out) {
  const size_t start = out.size();
  const auto length = static_cast<size_t>(end - begin);
  if (out.room() < length) return false;
  // Percent-decoded in place at the end of the output: never longer than the input.
  char* decoded = out.data() + start;
  size_t n = 0;
  if (std::memchr(begin, '%', length) == nullptr) {
    std::memcpy(decoded, begin, length);
    n = length;
  }
  for (const unsigned char* p = n == 0 ? begin : end; p < end; ++p) {
    if (*p == '%' && end - p >= 3 && IsAsciiHexDigit(p[1]) && IsAsciiHexDigit(p[2])) {
      decoded[n++] = static_cast<char>(HexValue(p[1]) * 16 + HexValue(p[2]));
      p += 2;
    } else {
      decoded[n++] = static_cast<char>(*p);
    }
  }
  out.Grow(n);
  if (!DomainToAscii(out, start)) return false;
  const std::string_view domain = out.View(start);
  if (!EndsInNumber(domain)) return true;
  std::uint32_t address;
  if (!ParseIpv4(domain, address)) return false;
  out.Truncate(start);
  SerializeIpv4(address, out);
  return true;
}

}  // namespace

bool ParseHost(const unsigned char* begin, const unsigned char* end, bool special, Output& out) {
  if (begin < end && *begin == '[') {
    if (end[-1] != ']' || end - begin < 2) return false;
    std::uint16_t address[8];
    if (!ParseIpv6(begin + 1, end - 1, address)) return false;
    SerializeIpv6(address, out);
    return true;
  }
  if (!special) return ParseOpaqueHost(begin, end, out);
  return ParseDomain(begin, end, out);
}

}  // namespace quillon::url
