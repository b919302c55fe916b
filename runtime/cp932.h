#pragma once
// Conversion of code page 932 (Shift_JIS as Windows has it) text to UTF-8 for display.
#include <string>
#include <string_view>

namespace crt {

// Converts `text`; a byte sequence that is not valid code page 932 becomes U+FFFD, one per
// byte, so nothing is lost silently and nothing fails.
std::string Cp932ToUtf8(std::string_view text);

}  // namespace crt
