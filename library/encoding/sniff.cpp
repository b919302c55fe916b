#include "library/encoding/sniff.h"

#include <algorithm>
#include <string_view>

namespace quillon::encoding {
namespace {

bool IsSpace(unsigned char c) {
  return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

bool IsLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned char Lower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Whether `bytes` read in lowercase are `lower`.
bool EqualsLower(std::string_view bytes, std::string_view lower) {
  if (bytes.size() != lower.size()) return false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (Lower(static_cast<unsigned char>(bytes[i])) != static_cast<unsigned char>(lower[i])) {
      return false;
    }
  }
  return true;
}

// The standard lowercases names and values as it copies them; here they stay views of the
// page, and every comparison ignores ASCII case instead.
struct Attribute {
  std::string_view name;
  std::string_view value;
};

// The HTML Standard's "algorithm for extracting a character encoding from a meta element",
// over a content attribute's value.
std::optional<Encoding> CharsetOfContent(std::string_view s) {
  constexpr std::string_view kCharset = "charset";
  size_t pos = 0;
  for (;;) {
    size_t found = std::string_view::npos;
    for (size_t i = pos; i + kCharset.size() <= s.size(); ++i) {
      if (EqualsLower(s.substr(i, kCharset.size()), kCharset)) {
        found = i;
        break;
      }
    }
    if (found == std::string_view::npos) return std::nullopt;
    pos = found + kCharset.size();
    while (pos < s.size() && IsSpace(static_cast<unsigned char>(s[pos]))) ++pos;
    if (pos < s.size() && s[pos] == '=') {
      ++pos;
      break;
    }
  }
  while (pos < s.size() && IsSpace(static_cast<unsigned char>(s[pos]))) ++pos;
  if (pos == s.size()) return std::nullopt;
  const char first = s[pos];
  if (first == '"' || first == '\'') {
    size_t close = s.find(first, pos + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return ForLabel(s.substr(pos + 1, close - pos - 1));
  }
  size_t end = pos;
  while (end < s.size() && !IsSpace(static_cast<unsigned char>(s[end])) && s[end] != ';') ++end;
  return ForLabel(s.substr(pos, end - pos));
}

// The prescan's position in the bytes, and its "get an attribute". Running past the end
// marks the scan ended: the prescan then finds nothing.
class Scan {
 public:
  Scan(const unsigned char* bytes, size_t size) : bytes_(bytes), size_(size) {}

  bool ended() const { return ended_; }
  size_t pos() const { return pos_; }
  void Advance(size_t by) { pos_ += by; }

  // Whether the bytes at the position start with `lower`, read in lowercase.
  bool StartsWithLower(std::string_view lower) const {
    return size_ - pos_ >= lower.size() && EqualsLower(View(pos_, lower.size()), lower);
  }
  // The byte `ahead` bytes after the position, or -1 past the end.
  int Peek(size_t ahead) const { return pos_ + ahead < size_ ? bytes_[pos_ + ahead] : -1; }

  // Moves to the first byte at or after `from` bytes ahead for which `stop` holds; false (and
  // ended) when there is none.
  template <class Stop>
  bool SkipTo(size_t from, Stop stop) {
    for (size_t i = pos_ + from; i < size_; ++i) {
      if (stop(i)) {
        pos_ = i;
        return true;
      }
    }
    ended_ = true;
    return false;
  }
  unsigned char At(size_t i) const { return bytes_[i]; }

  bool GetAttribute(Attribute& attribute);

 private:
  std::string_view View(size_t start, size_t length) const {
    return {reinterpret_cast<const char*>(bytes_ + start), length};
  }
  bool End() {
    ended_ = true;
    return false;
  }
  void SkipSpaces() {
    while (pos_ < size_ && IsSpace(bytes_[pos_])) ++pos_;
  }

  const unsigned char* bytes_;
  size_t size_;
  size_t pos_ = 0;
  bool ended_ = false;
};

bool Scan::GetAttribute(Attribute& attribute) {
  while (pos_ < size_ && (IsSpace(bytes_[pos_]) || bytes_[pos_] == '/')) ++pos_;
  if (pos_ == size_) return End();
  if (bytes_[pos_] == '>') return false;
  attribute.value = {};
  const size_t name_start = pos_;
  for (;; ++pos_) {
    if (pos_ == size_) return End();
    const unsigned char c = bytes_[pos_];
    if (c == '=' && pos_ > name_start) {
      attribute.name = View(name_start, pos_ - name_start);
      ++pos_;
      break;
    }
    if (IsSpace(c)) {
      attribute.name = View(name_start, pos_ - name_start);
      SkipSpaces();
      if (pos_ == size_) return End();
      if (bytes_[pos_] != '=') return true;
      ++pos_;
      break;
    }
    if (c == '/' || c == '>') {
      attribute.name = View(name_start, pos_ - name_start);
      return true;
    }
  }
  SkipSpaces();
  if (pos_ == size_) return End();
  const unsigned char first = bytes_[pos_];
  if (first == '"' || first == '\'') {
    const size_t start = ++pos_;
    while (pos_ < size_ && bytes_[pos_] != first) ++pos_;
    if (pos_ == size_) return End();
    attribute.value = View(start, pos_ - start);
    ++pos_;
    return true;
  }
  if (first == '>') return true;
  const size_t start = pos_++;
  while (pos_ < size_ && !IsSpace(bytes_[pos_]) && bytes_[pos_] != '>') ++pos_;
  if (pos_ == size_) return End();
  attribute.value = View(start, pos_ - start);
  return true;
}

// The attributes of a <meta> from after its name: the encoding it declares, if it declares
// one the way the prescan accepts.
std::optional<Encoding> MetaCharset(Scan& scan) {
  bool seen_http_equiv = false, seen_content = false, seen_charset = false;
  bool got_pragma = false;
  enum class Need { kNothing, kPragma, kNoPragma } need = Need::kNothing;
  enum class Charset { kNone, kFailure, kFound } charset_state = Charset::kNone;
  Encoding charset = Encoding::kUtf8;
  Attribute attribute;
  while (scan.GetAttribute(attribute)) {
    if (!seen_http_equiv && EqualsLower(attribute.name, "http-equiv")) {
      seen_http_equiv = true;
      if (EqualsLower(attribute.value, "content-type")) got_pragma = true;
    } else if (!seen_content && EqualsLower(attribute.name, "content")) {
      seen_content = true;
      if (charset_state == Charset::kNone) {
        if (std::optional<Encoding> found = CharsetOfContent(attribute.value)) {
          charset = *found;
          charset_state = Charset::kFound;
          need = Need::kPragma;
        }
      }
    } else if (!seen_charset && EqualsLower(attribute.name, "charset")) {
      seen_charset = true;
      std::optional<Encoding> found = ForLabel(attribute.value);
      charset_state = found ? Charset::kFound : Charset::kFailure;
      if (found) charset = *found;
      need = Need::kNoPragma;
    }
  }
  if (scan.ended() || need == Need::kNothing) return std::nullopt;
  if (need == Need::kPragma && !got_pragma) return std::nullopt;
  if (charset_state != Charset::kFound) return std::nullopt;
  if (charset == Encoding::kUtf16be || charset == Encoding::kUtf16le) return Encoding::kUtf8;
  if (charset == Encoding::kXUserDefined) return Encoding::kWindows1252;
  return charset;
}

}  // namespace

std::optional<Bom> SniffBom(const unsigned char* bytes, size_t size) {
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    return Bom{Encoding::kUtf8, 3};
  }
  if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return Bom{Encoding::kUtf16be, 2};
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return Bom{Encoding::kUtf16le, 2};
  return std::nullopt;
}

std::optional<Encoding> Prescan(const unsigned char* bytes, size_t size) {
  // A UTF-16 XML declaration: "<?x" in either byte order.
  constexpr unsigned char kXmlLe[6] = {0x3C, 0x00, 0x3F, 0x00, 0x78, 0x00};
  constexpr unsigned char kXmlBe[6] = {0x00, 0x3C, 0x00, 0x3F, 0x00, 0x78};
  if (size >= 6 && std::string_view(reinterpret_cast<const char*>(bytes), 6) ==
                       std::string_view(reinterpret_cast<const char*>(kXmlLe), 6)) {
    return Encoding::kUtf16le;
  }
  if (size >= 6 && std::string_view(reinterpret_cast<const char*>(bytes), 6) ==
                       std::string_view(reinterpret_cast<const char*>(kXmlBe), 6)) {
    return Encoding::kUtf16be;
  }

  Scan scan(bytes, size);
  for (; scan.pos() < size; scan.Advance(1)) {
    if (scan.Peek(0) != '<') continue;
    if (scan.StartsWithLower("<!--")) {
      // To the '>' of the first "-->", whose dashes may be those of "<!--".
      if (!scan.SkipTo(4, [&](size_t i) {
            return scan.At(i) == '>' && scan.At(i - 1) == '-' && scan.At(i - 2) == '-';
          })) {
        return std::nullopt;
      }
      continue;
    }
    const int after_meta = scan.Peek(5);
    if (scan.StartsWithLower("<meta") && after_meta >= 0 &&
        (IsSpace(static_cast<unsigned char>(after_meta)) || after_meta == '/')) {
      scan.Advance(5);
      if (std::optional<Encoding> found = MetaCharset(scan)) return found;
      if (scan.ended()) return std::nullopt;
      continue;
    }
    const int second = scan.Peek(1);
    const int third = scan.Peek(2);
    if ((second >= 0 && IsLetter(static_cast<unsigned char>(second))) ||
        (second == '/' && third >= 0 && IsLetter(static_cast<unsigned char>(third)))) {
      // Another tag: its name, then its attributes, which only need skipping.
      if (!scan.SkipTo(1, [&](size_t i) { return IsSpace(scan.At(i)) || scan.At(i) == '>'; })) {
        return std::nullopt;
      }
      Attribute attribute;
      while (scan.GetAttribute(attribute)) {
      }
      if (scan.ended()) return std::nullopt;
      continue;
    }
    if (second == '!' || second == '/' || second == '?') {
      if (!scan.SkipTo(1, [&](size_t i) { return scan.At(i) == '>'; })) return std::nullopt;
    }
  }
  return std::nullopt;
}

Sniffed SniffEncoding(const unsigned char* bytes, size_t size, std::optional<Encoding> caller) {
  if (std::optional<Bom> bom = SniffBom(bytes, size)) return {bom->encoding, bom->length};
  if (caller) return {*caller, 0};
  if (std::optional<Encoding> declared = Prescan(bytes, std::min(size, kPrescanLength))) {
    return {*declared, 0};
  }
  return {Encoding::kUtf8, 0};
}

}  // namespace quillon::encoding
