// What the library does when Windows loads and unloads it. The C run-time's DLL start-up
// (DllMainCRTStartup) makes the library-wide strings before it calls DllMain for the attach,
// and destroys them after DllMain has seen the detach; the framework's attach hook runs before
// both (framework/extension_module.cpp).
#include <new>

#include "framework/extension_module.h"

namespace {
AFX_EXTENSION_MODULE extension_module = {};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    // Registration failures only leave the library out of the resource chain: the export
    // does not need it, so the library loads all the same.
    AfxInitExtensionModule(extension_module, instance);
    new (std::nothrow) CDynLinkLibrary(extension_module);
  }
  return TRUE;
}
