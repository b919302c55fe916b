#include "library/character_classes.h"

#include <cctype>

namespace quillon {

CharacterClasses Classes;

void TakeCharacterClasses() {
  Classes.printable_is_ascii = true;
  for (int byte = 0; byte < 256; ++byte) {
    Classes.lower[byte] = static_cast<unsigned char>(std::tolower(byte));
    Classes.printable[byte] = std::isprint(byte) != 0;
    if (Classes.printable[byte] != (byte >= 0x20 && byte <= 0x7E)) {
      Classes.printable_is_ascii = false;
    }
  }
}

namespace {
// Taken when the library is loaded, so the functions answer before any run too.
const bool taken_at_load = (TakeCharacterClasses(), true);
}  // namespace

}  // namespace quillon
