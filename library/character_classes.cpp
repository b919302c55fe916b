#include "library/character_classes.h"

#include <cctype>

namespace quillon {

CharacterClasses Classes;

void TakeCharacterClasses() {
  for (int byte = 0; byte < 256; ++byte) {
    Classes.lower[byte] = static_cast<unsigned char>(std::tolower(byte));
    Classes.printable[byte] = std::isprint(byte) != 0;
  }
}

namespace {
// Taken when the library is loaded, so the functions answer before any run too.
const bool taken_at_load = (TakeCharacterClasses(), true);
}  // namespace

}  // namespace quillon
