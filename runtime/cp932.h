#pragma once
// Conversion of code page 932 (Shift_JIS as Windows has it) text to UTF-8 for display.
#include <cstddef>
#include <string>
#include <string_view>

namespace crt {

// Converts `text`; a byte sequence that is not valid code page 932 becomes U+FFFD, one per
// byte, so nothing is lost silently and nothing fails.
std::string Cp932ToUtf8(std::string_view text);

// Converts the start of `text` the same way into `out`, as much as fits in `room` bytes (at
// least kLongestUtf8Character), and takes what it converted off `text`; returns the bytes
// written. Needs no memory once the converter is open; without one (none on this system, or
// no memory to open it) ASCII is kept and every other byte becomes U+FFFD.
size_t Cp932ToUtf8Part(std::string_view& text, char* out, size_t room) noexcept;
inline constexpr size_t kLongestUtf8Character = 4;

}  // namespace crt
