#pragma once
// A parsed URL, as the WHATWG URL Standard's basic URL parser makes it, held as its
// serialization in fixed storage with the offsets of its parts: no allocation.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon::url {

// Room for one serialization. A link of kLongestHref (8 KiB) bytes whose every byte must be
// percent-encoded grows to 24 KiB; a base's path and query come on top. 32 KiB holds every
// href an HTML page can hand over but such extremes; a URL whose serialization is longer fails
// to parse, never is cut.
inline constexpr size_t kUrlCapacity = 32 * 1024;

class Url {
 public:
  Url() = default;
  Url(const Url& other) { *this = other; }
  Url& operator=(const Url& other);  // copies only the bytes in use

  // The serialization, what `new URL(input, base).href` gives.
  std::string_view href() const { return {buffer_, size_}; }
  std::string_view scheme() const { return {buffer_, scheme_end_}; }  // lower case, no ':'
  bool special() const { return special_; }  // ftp, file, http, https, ws or wss
  // Whether the URL has a host (perhaps the empty one of file:///): href holds "//" after the
  // scheme.
  bool has_host() const { return has_host_; }
  std::string_view username() const { return Part(username_start_, username_end_); }
  std::string_view password() const { return Part(password_start_, password_end_); }
  // Serialized: a domain in ASCII, dotted decimal IPv4, "[...]" IPv6, or an opaque host.
  std::string_view host() const { return Part(host_start_, host_end_); }
  std::optional<std::uint16_t> port() const;  // none when absent or the scheme's default
  // The path as serialized, without the "/." that keeps "//" at its start from reading as a
  // host.
  std::string_view path() const { return Part(path_start_, path_end_); }
  bool opaque_path() const { return opaque_path_; }  // mailto:x, javascript:..., data:...
  std::optional<std::string_view> query() const;     // without its '?'
  std::optional<std::string_view> fragment() const;  // without its '#'

 private:
  friend class Parser;
  static constexpr std::uint32_t kNone = UINT32_MAX;
  std::string_view Part(std::uint32_t begin, std::uint32_t end) const {
    return {buffer_ + begin, end - begin};
  }

  std::uint32_t size_ = 0;
  std::uint32_t scheme_end_ = 0;
  std::uint32_t username_start_ = 0, username_end_ = 0;
  std::uint32_t password_start_ = 0, password_end_ = 0;
  std::uint32_t host_start_ = 0, host_end_ = 0;
  std::uint32_t authority_end_ = 0;  // where the path, or its "/.", begins
  std::uint32_t path_start_ = 0, path_end_ = 0;
  std::uint32_t query_start_ = kNone;     // the '?'
  std::uint32_t fragment_start_ = kNone;  // the '#'
  std::int32_t port_ = -1;
  bool special_ = false;
  bool file_ = false;
  bool has_host_ = false;
  bool opaque_path_ = false;
  char buffer_[kUrlCapacity];
};

// The basic URL parser (no state override) over `input`, arbitrary bytes read as UTF-8 (each
// invalid sequence one U+FFFD), against `base` (nullptr: none). Returns false on failure,
// including a serialization longer than kUrlCapacity, and an input holding a tab or newline
// that is longer than kUrlCapacity once each invalid UTF-8 sequence counts three bytes. `out` may
// not alias `base`; on failure `out` holds nothing useful.
bool Parse(std::string_view input, const Url* base, Url& out);

}  // namespace quillon::url
