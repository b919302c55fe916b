#include "library/url/url.h"

#include <cstring>

#include "library/url/code_points.h"
#include "library/url/host.h"
#include "library/url/output.h"
#include "library/url/percent_encode.h"

namespace quillon::url {

Url& Url::operator=(const Url& other) {
  if (this == &other) return *this;
  size_ = other.size_;
  scheme_end_ = other.scheme_end_;
  username_start_ = other.username_start_;
  username_end_ = other.username_end_;
  password_start_ = other.password_start_;
  password_end_ = other.password_end_;
  host_start_ = other.host_start_;
  host_end_ = other.host_end_;
  authority_end_ = other.authority_end_;
  path_start_ = other.path_start_;
  path_end_ = other.path_end_;
  query_start_ = other.query_start_;
  fragment_start_ = other.fragment_start_;
  port_ = other.port_;
  special_ = other.special_;
  file_ = other.file_;
  has_host_ = other.has_host_;
  opaque_path_ = other.opaque_path_;
  std::memcpy(buffer_, other.buffer_, size_);
  return *this;
}

std::optional<std::uint16_t> Url::port() const {
  if (port_ < 0) return std::nullopt;
  return static_cast<std::uint16_t>(port_);
}

std::optional<std::string_view> Url::query() const {
  if (query_start_ == kNone) return std::nullopt;
  return Part(query_start_ + 1, fragment_start_ == kNone ? size_ : fragment_start_);
}

std::optional<std::string_view> Url::fragment() const {
  if (fragment_start_ == kNone) return std::nullopt;
  return Part(fragment_start_ + 1, size_);
}

namespace {

constexpr int kEof = -1;

struct Scheme {
  bool special;
  bool file;
  int default_port;
};

Scheme LookUpScheme(std::string_view scheme) {
  if (scheme == "http" || scheme == "ws") return {true, false, 80};
  if (scheme == "https" || scheme == "wss") return {true, false, 443};
  if (scheme == "ftp") return {true, false, 21};
  if (scheme == "file") return {true, true, -1};
  return {false, false, -1};
}

bool IsSchemeCodePoint(unsigned char c) {
  return IsAsciiAlpha(c) || IsAsciiDigit(c) || c == '+' || c == '-' || c == '.';
}

bool IsWindowsDriveLetter(std::string_view text) {
  return text.size() == 2 && IsAsciiAlpha(static_cast<unsigned char>(text[0])) &&
         (text[1] == ':' || text[1] == '|');
}

bool StartsWithWindowsDriveLetter(const unsigned char* p, const unsigned char* end) {
  if (end - p < 2 || !IsAsciiAlpha(p[0]) || (p[1] != ':' && p[1] != '|')) return false;
  return end - p == 2 || p[2] == '/' || p[2] == '\\' || p[2] == '?' || p[2] == '#';
}

bool IsEncodedDot(std::string_view text) {
  return text.size() == 3 && text[0] == '%' && text[1] == '2' && (text[2] == 'e' || text[2] == 'E');
}

bool IsSingleDotSegment(std::string_view segment) {
  return segment == "." || IsEncodedDot(segment);
}

bool IsDoubleDotSegment(std::string_view segment) {
  switch (segment.size()) {
    case 2:
      return segment == "..";
    case 4:
      return (segment[0] == '.' && IsEncodedDot(segment.substr(1))) ||
             (IsEncodedDot(segment.substr(0, 3)) && segment[3] == '.');
    case 6:
      return IsEncodedDot(segment.substr(0, 3)) && IsEncodedDot(segment.substr(3));
    default:
      return false;
  }
}

}  // namespace

// The basic URL parser's state machine, writing the serialization as it goes: each state
// appends its part in the order href shows them, and a dot segment takes back what it wrote.
class Parser {
 public:
  Parser(const unsigned char* begin, const unsigned char* end, const Url* base, Url& url)
      : p_(begin), end_(end), base_(base), url_(url), out_(url.buffer_, kUrlCapacity) {}

  bool Run() {
    url_.query_start_ = Url::kNone;
    url_.fragment_start_ = Url::kNone;
    url_.port_ = -1;
    url_.has_host_ = false;
    url_.opaque_path_ = false;
    const unsigned char* q = p_;
    if (q < end_ && IsAsciiAlpha(*q)) {
      while (q < end_ && IsSchemeCodePoint(*q)) ++q;
      if (q < end_ && *q == ':') return SchemeState(q);
    }
    return NoSchemeState();
  }

 private:
  int Peek(size_t ahead = 0) const {
    return ahead < static_cast<size_t>(end_ - p_) ? p_[ahead] : kEof;
  }
  bool IsSlash(int c) const { return c == '/' || (special_ && c == '\\'); }
  // What ends a path segment or an authority here.
  std::uint16_t SegmentStop() const { return special_ ? kEndsSpecialSegment : kEndsSegment; }
  size_t Size() const { return out_.size(); }

  void SetScheme(std::string_view scheme) {
    const Scheme info = LookUpScheme(scheme);
    special_ = info.special;
    file_ = info.file;
    default_port_ = info.default_port;
  }

  bool SchemeState(const unsigned char* colon) {
    const auto length = static_cast<size_t>(colon - p_);
    if (out_.room() < length + 1) return false;
    char* scheme = out_.data();
    const unsigned char* from = p_;
    for (size_t i = 0; i < length; ++i) scheme[i] = AsciiLower(static_cast<char>(from[i]));
    out_.Grow(length);
    p_ = colon;
    url_.scheme_end_ = static_cast<std::uint32_t>(Size());
    out_.Put(':');
    ++p_;
    SetScheme(out_.View(0).substr(0, url_.scheme_end_));
    if (file_) return FileState();
    if (special_) {
      if (base_ != nullptr && base_->scheme() == url_.scheme()) {
        if (Peek() == '/' && Peek(1) == '/') {
          p_ += 2;
          return SpecialAuthorityIgnoreSlashesState();
        }
        return RelativeState();
      }
      if (Peek() == '/' && Peek(1) == '/') p_ += 2;
      return SpecialAuthorityIgnoreSlashesState();
    }
    if (Peek() == '/') {
      ++p_;
      if (Peek() == '/') {
        ++p_;
        return AuthorityState();
      }
      NoAuthority();
      return PathState();
    }
    return OpaquePathState();
  }

  bool NoSchemeState() {
    if (base_ == nullptr) return false;
    if (base_->opaque_path_) {
      if (Peek() != '#') return false;
      CopyBaseScheme();
      NoAuthority();
      url_.opaque_path_ = true;
      CopyBasePath();
      EndPath();
      CopyBaseQuery();
      ++p_;
      return FragmentState();
    }
    CopyBaseScheme();
    return file_ ? FileState() : RelativeState();
  }

  bool RelativeState() {
    const int c = Peek();
    if (IsSlash(c)) {
      ++p_;
      return RelativeSlashState();
    }
    CopyBaseAuthority();
    CopyBasePath();
    return AfterBasePath(c);
  }

  // The base's path is copied; `c` decides whether its query stays or the path goes on.
  bool AfterBasePath(int c) {
    if (c == '?') {
      ++p_;
      return QueryState();
    }
    if (c == '#' || c == kEof) {
      EndPath();
      CopyBaseQuery();
      if (c == kEof) return Finish();
      ++p_;
      return FragmentState();
    }
    if (file_ && StartsWithWindowsDriveLetter(p_, end_)) {
      out_.Truncate(url_.path_start_);
    } else {
      ShortenPath();
    }
    return PathState();
  }

  bool RelativeSlashState() {
    const int c = Peek();
    if (special_ && (c == '/' || c == '\\')) {
      ++p_;
      return SpecialAuthorityIgnoreSlashesState();
    }
    if (c == '/') {
      ++p_;
      return AuthorityState();
    }
    CopyBaseAuthority();
    url_.path_start_ = static_cast<std::uint32_t>(Size());
    return PathState();
  }

  bool SpecialAuthorityIgnoreSlashesState() {
    while (Peek() == '/' || Peek() == '\\') ++p_;
    return AuthorityState();
  }

  bool AuthorityState() {
    out_.Put("//");
    url_.has_host_ = true;
    // One pass finds the authority's end, its last '@', and the first ':' after that '@'
    // outside brackets (where the port starts).
    const std::uint16_t stop = SegmentStop();
    const unsigned char* at = nullptr;
    const unsigned char* colon = nullptr;
    bool inside_brackets = false;
    const unsigned char* end = p_;
    for (;; ++end) {
      while (end < end_ && (kByteClasses[*end] & (stop | kInAuthority)) == 0) ++end;
      if (end == end_ || (kByteClasses[*end] & stop) != 0) break;
      switch (*end) {
        case '@':
          at = end;
          colon = nullptr;
          inside_brackets = false;
          break;
        case '[':
          inside_brackets = true;
          break;
        case ']':
          inside_brackets = false;
          break;
        default:  // ':'
          if (!inside_brackets && colon == nullptr) colon = end;
      }
    }
    const size_t userinfo_start = Size();
    url_.username_start_ = url_.username_end_ = static_cast<std::uint32_t>(userinfo_start);
    url_.password_start_ = url_.password_end_ = static_cast<std::uint32_t>(userinfo_start);
    if (at != nullptr) {
      WriteUserinfo(at);
      p_ = at + 1;
      if (p_ == end) return false;
    }
    return HostState(colon != nullptr ? colon : end, end);
  }

  // Username and password, split at the first ':' before the last '@'; an '@' before that is
  // part of them.
  void WriteUserinfo(const unsigned char* at) {
    const size_t start = Size();
    const auto* colon = static_cast<const unsigned char*>(std::memchr(p_, ':', at - p_));
    PercentEncode(p_, colon != nullptr ? colon : at, kUserinfoSet, 0, out_);
    const size_t username_end = Size();
    size_t password_start = username_end, password_end = username_end;
    if (colon != nullptr) {
      out_.Put(':');
      password_start = Size();
      PercentEncode(colon + 1, at, kUserinfoSet, 0, out_);
      password_end = Size();
      if (password_end == password_start) {
        out_.Truncate(username_end);
        password_start = password_end = username_end;
      }
    }
    if (Size() == start) return;
    out_.Put('@');
    url_.username_end_ = static_cast<std::uint32_t>(username_end);
    url_.password_start_ = static_cast<std::uint32_t>(password_start);
    url_.password_end_ = static_cast<std::uint32_t>(password_end);
  }

  // The host is [p_, host_end); a port follows up to `end` when host_end is a ':'.
  bool HostState(const unsigned char* host_end, const unsigned char* end) {
    const bool has_port = host_end < end;
    if (host_end == p_ && (has_port || special_)) return false;
    url_.host_start_ = static_cast<std::uint32_t>(Size());
    if (!ParseHost(p_, host_end, special_, out_)) return false;
    url_.host_end_ = static_cast<std::uint32_t>(Size());
    if (has_port && !PortState(host_end + 1, end)) return false;
    url_.authority_end_ = static_cast<std::uint32_t>(Size());
    p_ = end;
    return PathStartState();
  }

  bool PortState(const unsigned char* begin, const unsigned char* end) {
    if (begin == end) return true;
    std::uint32_t port = 0;
    for (const unsigned char* q = begin; q < end; ++q) {
      if (!IsAsciiDigit(*q)) return false;
      port = port * 10 + (*q - '0');
      if (port > 65535) return false;
    }
    if (static_cast<int>(port) == default_port_) return true;
    url_.port_ = static_cast<std::int32_t>(port);
    char digits[5];
    size_t n = 0;
    do {
      digits[n++] = static_cast<char>('0' + port % 10);
      port /= 10;
    } while (port != 0);
    out_.Put(':');
    while (n > 0) out_.Put(digits[--n]);
    return true;
  }

  bool FileState() {
    const int c = Peek();
    if (c == '/' || c == '\\') {
      ++p_;
      return FileSlashState();
    }
    if (base_ != nullptr && base_->file_) {
      CopyBaseAuthority();
      CopyBasePath();
      return AfterBasePath(c);
    }
    out_.Put("//");
    EmptyHost();
    return PathState();
  }

  bool FileSlashState() {
    const int c = Peek();
    if (c == '/' || c == '\\') {
      ++p_;
      return FileHostState();
    }
    if (base_ != nullptr && base_->file_) {
      CopyBaseAuthority();
      url_.path_start_ = static_cast<std::uint32_t>(Size());
      const std::string_view base_path = base_->path();
      if (!StartsWithWindowsDriveLetter(p_, end_) && base_path.size() >= 3 &&
          IsAsciiAlpha(static_cast<unsigned char>(base_path[1])) && base_path[2] == ':' &&
          (base_path.size() == 3 || base_path[3] == '/')) {
        out_.Put(base_path.substr(0, 3));
      }
      return PathState();
    }
    out_.Put("//");
    EmptyHost();
    return PathState();
  }

  bool FileHostState() {
    const unsigned char* end = p_;
    while (end < end_ && *end != '/' && *end != '\\' && *end != '?' && *end != '#') ++end;
    out_.Put("//");
    const std::string_view buffer(reinterpret_cast<const char*>(p_), end - p_);
    if (IsWindowsDriveLetter(buffer)) {
      // The letter is the path's first segment, not a host.
      EmptyHost();
      const size_t segment = Size();
      out_.Put('/');
      out_.Put(buffer);
      p_ = end;
      return PathState(segment);
    }
    if (buffer.empty()) {
      EmptyHost();
      return PathStartState();
    }
    EmptyHost();
    const size_t host_start = Size();
    if (!ParseHost(p_, end, true, out_)) return false;
    if (out_.View(host_start) == "localhost") out_.Truncate(host_start);
    url_.host_end_ = url_.authority_end_ = static_cast<std::uint32_t>(Size());
    p_ = end;
    return PathStartState();
  }

  bool PathStartState() {
    url_.path_start_ = static_cast<std::uint32_t>(Size());
    const int c = Peek();
    if (special_) {
      if (c == '/' || c == '\\') ++p_;
      return PathState();
    }
    if (c == '?') {
      ++p_;
      return QueryState();
    }
    if (c == '#') {
      ++p_;
      return FragmentState();
    }
    if (c == kEof) return Finish();
    if (c == '/') ++p_;
    return PathState();
  }

  bool PathState() {
    const size_t segment = Size();
    out_.Put('/');
    return PathState(segment);
  }

  // Segment by segment, each written as "/" and its bytes from `segment` on; the one begun
  // there may already hold bytes.
  bool PathState(size_t segment) {
    while (true) {
      p_ = PercentEncode(p_, end_, kPathSet, SegmentStop(), out_);
      if (out_.overflowed()) return false;
      const bool slash = IsSlash(Peek());
      const std::string_view text = out_.View(segment + 1);
      if (IsDoubleDotSegment(text)) {
        out_.Truncate(segment);
        ShortenPath();
        if (!slash) out_.Put('/');
      } else if (IsSingleDotSegment(text)) {
        out_.Truncate(segment);
        if (!slash) out_.Put('/');
      } else if (file_ && segment == url_.path_start_ && IsWindowsDriveLetter(text)) {
        out_.data()[segment + 2] = ':';
      }
      if (!slash) break;
      ++p_;
      segment = Size();
      out_.Put('/');
    }
    const int c = Peek();
    if (c == kEof) return Finish();
    ++p_;
    if (c == '?') return QueryState();
    if (c == '#') return FragmentState();
    return Finish();
  }

  bool OpaquePathState() {
    NoAuthority();
    url_.opaque_path_ = true;
    p_ = PercentEncode(p_, end_, kC0ControlSet, kEndsOpaquePath, out_);
    const int c = Peek();
    if (c == kEof) return Finish();
    ++p_;
    if (c == '?') return QueryState();
    if (c == '#') return FragmentState();
    return Finish();
  }

  bool QueryState() {
    EndPath();
    url_.query_start_ = static_cast<std::uint32_t>(Size());
    out_.Put('?');
    p_ = PercentEncode(p_, end_, special_ ? kSpecialQuerySet : kQuerySet, kEndsQuery, out_);
    if (p_ == end_) return Finish();
    ++p_;
    return FragmentState();
  }

  bool FragmentState() {
    EndPath();
    url_.fragment_start_ = static_cast<std::uint32_t>(Size());
    out_.Put('#');
    PercentEncode(p_, end_, kFragmentSet, 0, out_);
    p_ = end_;
    return Finish();
  }

  bool Finish() {
    EndPath();
    if (out_.overflowed()) return false;
    url_.size_ = static_cast<std::uint32_t>(Size());
    url_.special_ = special_;
    url_.file_ = file_;
    return true;
  }

  // Removes the path's last segment, but not a lone drive letter of a file URL.
  void ShortenPath() {
    const size_t start = url_.path_start_;
    const std::string_view path = out_.View(start);
    if (path.empty()) return;
    if (file_ && path.size() == 3 && IsAsciiAlpha(static_cast<unsigned char>(path[1])) &&
        path[2] == ':') {
      return;
    }
    out_.Truncate(start + path.rfind('/'));
  }

  // The path is complete. Without a host, a path starting with an empty segment gets "/."
  // first, so that reading the href back does not take the next segment for a host.
  void EndPath() {
    if (path_ended_) return;
    path_ended_ = true;
    url_.path_end_ = static_cast<std::uint32_t>(Size());
    if (url_.has_host_ || url_.opaque_path_) return;
    const std::string_view path = out_.View(url_.path_start_);
    if (path.size() < 2 || path[0] != '/' || path[1] != '/') return;
    if (out_.room() < 2) {
      out_.Put("/.");  // marks the overflow
      return;
    }
    char* start = out_.data() + url_.path_start_;
    std::memmove(start + 2, start, path.size());
    start[0] = '/';
    start[1] = '.';
    out_.Grow(2);
    url_.path_start_ += 2;
    url_.path_end_ += 2;
  }

  void NoAuthority() {
    const auto here = static_cast<std::uint32_t>(Size());
    url_.username_start_ = url_.username_end_ = url_.password_start_ = url_.password_end_ = here;
    url_.host_start_ = url_.host_end_ = url_.authority_end_ = url_.path_start_ = here;
  }

  // The host of a file URL is empty (or set later); its path starts here.
  void EmptyHost() {
    NoAuthority();
    url_.has_host_ = true;
  }

  void CopyBaseScheme() {
    out_.Put(base_->scheme());
    url_.scheme_end_ = static_cast<std::uint32_t>(Size());
    out_.Put(':');
    special_ = base_->special_;
    file_ = base_->file_;
    default_port_ = LookUpScheme(base_->scheme()).default_port;
  }

  // The base's userinfo, host and port, and where the path starts. The scheme written is the
  // base's, so every offset is the base's own.
  void CopyBaseAuthority() {
    const Url& base = *base_;
    out_.Put(base.Part(base.scheme_end_ + 1, base.authority_end_));
    url_.has_host_ = base.has_host_;
    url_.username_start_ = base.username_start_;
    url_.username_end_ = base.username_end_;
    url_.password_start_ = base.password_start_;
    url_.password_end_ = base.password_end_;
    url_.host_start_ = base.host_start_;
    url_.host_end_ = base.host_end_;
    url_.authority_end_ = base.authority_end_;
    url_.port_ = base.port_;
    url_.path_start_ = static_cast<std::uint32_t>(Size());
  }

  void CopyBasePath() { out_.Put(base_->path()); }

  void CopyBaseQuery() {
    if (base_->query_start_ == Url::kNone) return;
    url_.query_start_ = static_cast<std::uint32_t>(Size());
    out_.Put(base_->Part(base_->query_start_, base_->fragment_start_ == Url::kNone
                                                  ? base_->size_
                                                  : base_->fragment_start_));
  }

  const unsigned char* p_;
  const unsigned char* end_;
  const Url* base_;
  Url& url_;
  Output out_;
  bool special_ = false;
  bool file_ = false;
  int default_port_ = -1;
  bool path_ended_ = false;
};

namespace {

bool IsTabOrNewline(unsigned char c) {
  return c == '\t' || c == '\n' || c == '\r';
}

// Eight bytes at a time: only a word with a byte below 0x0E is looked at byte by byte.
bool HasTabOrNewline(const unsigned char* p, const unsigned char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (((word - kOnes * 0x0E) & ~word & kOnes * 0x80) == 0) continue;
    for (int i = 0; i < 8; ++i) {
      if (IsTabOrNewline(p[i])) return true;
    }
  }
  for (; p < end; ++p) {
    if (IsTabOrNewline(*p)) return true;
  }
  return false;
}

// Inputs holding tabs or newlines are parsed from a copy without them. The input is read as
// UTF-8 before they go, so an invalid sequence becomes U+FFFD here: removing a newline must not
// join the bytes around it into one character.
[[gnu::noinline]] bool ParseWithoutTabs(const unsigned char* begin, const unsigned char* end,
                                        const Url* base, Url& out) {
  static constexpr unsigned char kReplacement[] = {0xEF, 0xBF, 0xBD};
  unsigned char copy[kUrlCapacity];
  size_t n = 0;
  for (const unsigned char* p = begin; p < end;) {
    if (kUrlCapacity - n < 4) return false;
    if (*p < 0x80) {
      if (!IsTabOrNewline(*p)) copy[n++] = *p;
      ++p;
      continue;
    }
    const Utf8Sequence sequence = ReadUtf8(p, static_cast<size_t>(end - p));
    if (sequence.valid) {
      std::memcpy(copy + n, p, sequence.length);
    } else {
      std::memcpy(copy + n, kReplacement, sizeof kReplacement);
    }
    n += sequence.valid ? sequence.length : sizeof kReplacement;
    p += sequence.length;
  }
  return Parser(copy, copy + n, base, out).Run();
}

}  // namespace

bool Parse(std::string_view input, const Url* base, Url& out) {
  const auto* begin = reinterpret_cast<const unsigned char*>(input.data());
  const unsigned char* end = begin + input.size();
  while (begin < end && *begin <= 0x20) ++begin;
  while (end > begin && end[-1] <= 0x20) --end;
  if (HasTabOrNewline(begin, end)) return ParseWithoutTabs(begin, end, base, out);
  return Parser(begin, end, base, out).Run();
}

}  // namespace quillon::url
