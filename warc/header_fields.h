#pragma once
// The "Name: value" lines of WARC and HTTP headers, and the media types they carry.
#include <cstdint>
#include <optional>
#include <string_view>

namespace warc {

// ASCII letters compared without case; every other byte as it is.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
// Without the spaces and tabs around it.
std::string_view TrimBlanks(std::string_view text);

// The value of the first field named `name` (any case) among the lines of `fields`, the header
// block after its first line; lines end in LF or CR LF, a line opening with a blank continues
// the one before and is not a field of its own. Nothing when no such field is there.
std::optional<std::string_view> FindField(std::string_view fields, std::string_view name);

// A decimal number of at most 18 digits, with nothing else but blanks around it.
std::optional<std::uint64_t> ParseLength(std::string_view text);

// "type/subtype; name=value; ..." with the parameters this reader needs; `charset` and
// `msgtype` without quotes, empty when absent.
struct MediaType {
  std::string_view type;  // "type/subtype", trimmed, as written
  std::string_view charset;
  std::string_view msgtype;
};
MediaType ParseMediaType(std::string_view value);

}  // namespace warc
