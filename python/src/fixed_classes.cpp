#include "python/src/fixed_classes.h"

#include "library/engine.h"

namespace quillon_python {

const quillon::CharacterClasses& FixedClasses() {
  static const quillon::CharacterClasses classes = quillon::DefaultCharacterClasses();
  return classes;
}

}  // namespace quillon_python
