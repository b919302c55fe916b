#pragma once
// The character classes every engine of the module uses: the "C" locale's, whatever locale
// the interpreter runs in, so that the module agrees with the quillon tool.
#include "library/character_classes.h"

namespace quillon_python {

const quillon::CharacterClasses& FixedClasses();

}  // namespace quillon_python
