#pragma once
// What a numeric character reference (&#NNN; or &#xHHH;) stands for.
#include <cstdint>

namespace quillon::html {

// Above every code point: where the digits of a reference stop counting up.
inline constexpr std::uint32_t kBeyondUnicode = 0x110000;

// The code point for the number a reference spells (at most kBeyondUnicode): zero, surrogates
// and numbers beyond Unicode are U+FFFD, and 0x80-0x9F the windows-1252 characters of those
// bytes where it has one.
std::uint32_t NumericReferenceCodePoint(std::uint32_t number);

}  // namespace quillon::html
