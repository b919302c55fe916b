#pragma once
// The run-time's tolower and isprint for every byte value, taken once per run: a run never
// changes the locale, and a table look-up is far cheaper than a call for every byte.
namespace quillon {

// Takes the answers of the current locale; called at the start of each run.
void TakeCharacterClasses();

// tolower of `byte` in the locale last taken (the default one until a run starts).
unsigned char LowerCase(unsigned char byte);
// isprint of `byte` in the locale last taken.
bool IsPrintable(unsigned char byte);

}  // namespace quillon
