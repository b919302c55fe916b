#pragma once
// Redirects calls a loaded module makes to an imported function, by rewriting the module's
// import address table in this process.
#include <windows.h>

namespace wintest {

// Points every slot of `module`'s import table that imports `function` by name from `dll`
// (names compared without regard to case) at `replacement`. Returns the address the first
// such slot held before, or null when the module imports no such function.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);

}  // namespace wintest
