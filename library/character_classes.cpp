#include "library/character_classes.h"

#include <cctype>

namespace quillon {
namespace {

struct Classes {
  unsigned char lower[256];
  bool printable[256];
  Classes() { Take(); }
  void Take() {
    for (int byte = 0; byte < 256; ++byte) {
      lower[byte] = static_cast<unsigned char>(std::tolower(byte));
      printable[byte] = std::isprint(byte) != 0;
    }
  }
};

Classes classes;

}  // namespace

void TakeCharacterClasses() {
  classes.Take();
}
unsigned char LowerCase(unsigned char byte) {
  return classes.lower[byte];
}
bool IsPrintable(unsigned char byte) {
  return classes.printable[byte];
}

}  // namespace quillon
