#include "library/html/numeric_references.h"

namespace quillon::html {

namespace {

// 0x80-0x9F as windows-1252 reads them; 0 where it has no character (the number stays).
constexpr std::uint16_t kC1Replacements[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

}  // namespace

std::uint32_t NumericReferenceCodePoint(std::uint32_t number) {
  if (number == 0 || number >= kBeyondUnicode) return kReplacementCharacter;
  if (number >= 0xD800 && number <= 0xDFFF) return kReplacementCharacter;
  if (number >= 0x80 && number <= 0x9F && kC1Replacements[number - 0x80] != 0) {
    return kC1Replacements[number - 0x80];
  }
  return number;
}

}  // namespace quillon::html
