#pragma once
// The run-time's tolower and isprint for every byte value, taken at the start of each run: a run
// never changes the locale, and a table look-up is far cheaper than a call for every byte.
namespace quillon {

struct CharacterClasses {
  unsigned char lower[256];
  bool printable[256];
  // Whether the locale is the default one in both respects: only A to Z fold, and exactly
  // 0x20 to 0x7E are printable. Then sixteen bytes can be tested at a time.
  bool ascii;

  // tolower of `byte`.
  unsigned char LowerCase(unsigned char byte) const { return lower[byte]; }
  // isprint of `byte`.
  bool IsPrintable(unsigned char byte) const { return printable[byte]; }
};

// The answers of the current locale.
CharacterClasses TakeCharacterClasses();

// The answers of the "C" locale, read from no locale: only A to Z fold, and exactly 0x20 to
// 0x7E print. What every caller but the designed run uses, so that results never depend on
// the caller's locale.
CharacterClasses DefaultCharacterClasses();

}  // namespace quillon
