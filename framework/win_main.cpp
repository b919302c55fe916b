// The program entry of a framework program, and the framework's start-up of the program module.
#include <mbctype.h>

#include "framework/win_app.h"

namespace {

DWORD module_version = 0;

// The framework's module start-up. The application object, like every other static object,
// must find it done: the highest construction priority runs it ahead of all of them, whatever
// translation unit holds them (this file is always linked: it holds WinMain).
struct ModuleStartup {
  ModuleStartup() noexcept {
    module_version = kAfxVersion;
    _setmbcp(_MB_CP_ANSI);
  }
};
__attribute__((init_priority(101))) ModuleStartup module_startup;

}  // namespace

DWORD AfxGetModuleVersion() noexcept {
  return module_version;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
  return AfxWinMain(instance, previous, commandLine, showCommand);
}
