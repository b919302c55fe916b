// The program entry of a framework program.
#include <mbctype.h>

#include "framework/win_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
  // Multibyte text follows the system's ANSI code page, as the framework's start-up sets it.
  _setmbcp(_MB_CP_ANSI);
  return AfxWinMain(instance, previous, commandLine, showCommand);
}
