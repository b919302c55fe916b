#include "library/help_launcher.h"

#include "library/platform.h"

namespace quillon {

int ShowHelp() {
  return RunProgram(kHelpProgram, kHelpArgument);
}

int RunProgram(const char* program, const char* argument) {
  return static_cast<int>(
      _spawnl(_P_WAIT, program, program, argument, static_cast<const char*>(nullptr)));
}

}  // namespace quillon
