#include "framework/resource_modules.h"

HINSTANCE AfxGetResourceHandle() noexcept {
  return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type) noexcept {
  // The program's own module first, then the module this framework code lives in (the same
  // one while the framework is linked statically, but a library's resources are found too).
  HINSTANCE modules[2] = {AfxGetResourceHandle(), nullptr};
  ::GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&AfxFindResourceHandle), &modules[1]);
  for (HINSTANCE module : modules) {
    if (module != nullptr && ::FindResourceA(module, name, type) != nullptr) return module;
  }
  return modules[0];
}
