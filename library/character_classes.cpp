#include "library/character_classes.h"

#include <cctype>

namespace quillon {

CharacterClasses TakeCharacterClasses() {
  CharacterClasses classes;
  classes.ascii = true;
  for (int byte = 0; byte < 256; ++byte) {
    classes.lower[byte] = static_cast<unsigned char>(std::tolower(byte));
    classes.printable[byte] = std::isprint(byte) != 0;
    bool upper_ascii = byte >= 'A' && byte <= 'Z';
    int ascii_lower = upper_ascii ? byte - 'A' + 'a' : byte;
    if (classes.lower[byte] != ascii_lower ||
        classes.printable[byte] != (byte >= 0x20 && byte <= 0x7E)) {
      classes.ascii = false;
    }
  }
  return classes;
}

CharacterClasses DefaultCharacterClasses() {
  CharacterClasses classes;
  classes.ascii = true;
  for (int byte = 0; byte < 256; ++byte) {
    bool upper = byte >= 'A' && byte <= 'Z';
    classes.lower[byte] = static_cast<unsigned char>(upper ? byte - 'A' + 'a' : byte);
    classes.printable[byte] = byte >= 0x20 && byte <= 0x7E;
  }
  return classes;
}

}  // namespace quillon
