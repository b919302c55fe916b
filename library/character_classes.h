#pragma once
// The run-time's tolower and isprint for every byte value, taken once per run: a run never
// changes the locale, and a table look-up is far cheaper than a call for every byte.
namespace quillon {

struct CharacterClasses {
  unsigned char lower[256];
  bool printable[256];
  // Whether exactly the bytes 0x20 to 0x7E are printable, as in the default locale; lets
  // the record writer test eight bytes at a time.
  bool printable_is_ascii;
};

// The answers of the locale last taken (the default one until a run starts).
extern CharacterClasses Classes;

// Takes the answers of the current locale; called at the start of each run.
void TakeCharacterClasses();

// tolower of `byte`.
inline unsigned char LowerCase(unsigned char byte) {
  return Classes.lower[byte];
}
// isprint of `byte`.
inline bool IsPrintable(unsigned char byte) {
  return Classes.printable[byte];
}

}  // namespace quillon
