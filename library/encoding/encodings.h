// The encodings of the WHATWG Encoding Standard and their labels.
#ifndef QUILLON_LIBRARY_ENCODING_ENCODINGS_H
#define QUILLON_LIBRARY_ENCODING_ENCODINGS_H

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon::encoding {

// Every encoding of the Encoding Standard, in the order of its encodings.json.
enum class Encoding : std::uint8_t {
  kUtf8,
  kIbm866,
  kIso8859_2,
  kIso8859_3,
  kIso8859_4,
  kIso8859_5,
  kIso8859_6,
  kIso8859_7,
  kIso8859_8,
  kIso8859_8I,
  kIso8859_10,
  kIso8859_13,
  kIso8859_14,
  kIso8859_15,
  kIso8859_16,
  kKoi8R,
  kKoi8U,
  kMacintosh,
  kWindows874,
  kWindows1250,
  kWindows1251,
  kWindows1252,
  kWindows1253,
  kWindows1254,
  kWindows1255,
  kWindows1256,
  kWindows1257,
  kWindows1258,
  kXMacCyrillic,
  kGbk,
  kGb18030,
  kBig5,
  kEucJp,
  kIso2022Jp,
  kShiftJis,
  kEucKr,
  kReplacement,
  kUtf16be,
  kUtf16le,
  kXUserDefined,
};

// The Encoding Standard's "get an encoding": the encoding a label names, after leading and
// trailing ASCII whitespace is removed, matched ASCII case-insensitively ("iso-8859-1" and
// "ascii" are windows-1252, "x-sjis" is Shift_JIS). Nothing for an unknown label.
std::optional<Encoding> ForLabel(std::string_view label);

// The encoding's name as the standard writes it: "UTF-8", "windows-1252", "Shift_JIS" ...
std::string_view Name(Encoding encoding);

}  // namespace quillon::encoding

#endif  // QUILLON_LIBRARY_ENCODING_ENCODINGS_H
