#pragma once
// The framework's registration of extension libraries (Windows only): a DLL that lends its
// classes and resources to the program that loads it enters itself into the framework's
// module state. Only what a library's set-up needs is here.
#include "framework/win32.h"

struct CRuntimeClass;
class COleObjectFactory;
class CDynLinkLibrary;

// The framework's bookkeeping for the module whose code is running.
struct AFX_MODULE_STATE {
  // Heads of the runtime-class and class-factory lists.
  CRuntimeClass* m_pFirstClass;
  COleObjectFactory* m_pFirstFactory;
  // The list heads as the extension attach hook found them, before it emptied them.
  CRuntimeClass* m_pClassInit;
  COleObjectFactory* m_pFactoryInit;
  // The resource chain: the extension libraries entered, newest first.
  CDynLinkLibrary* m_pFirstDLL;
};

// The module state of the module this framework code is linked into. Never null.
AFX_MODULE_STATE* AfxGetModuleState() noexcept;

// One per extension library, all zero until AfxInitExtensionModule fills it in.
struct AFX_EXTENSION_MODULE {
  BOOL bInitialized;
  HMODULE hModule;
  HMODULE hResource;
  CRuntimeClass* pFirstSharedClass;
  COleObjectFactory* pFirstSharedFactory;
};

// Takes over the classes and factories the library's static objects registered since the
// attach hook ran, and records the library's module handle. Returns TRUE; a second call for
// the same record changes nothing.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module) noexcept;

// An extension library's entry in the resource chain. Made on the heap at attach; the
// framework owns it from then on.
class CDynLinkLibrary {
 public:
  // Enters the library of `state` at the head of the resource chain. `system` marks the
  // framework's own libraries.
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system = FALSE) noexcept;
  CDynLinkLibrary(const CDynLinkLibrary&) = delete;
  CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

  HMODULE m_hModule;
  HMODULE m_hResource;
  CRuntimeClass* m_pFirstSharedClass;
  COleObjectFactory* m_pFirstSharedFactory;
  BOOL m_bSystem;
  CDynLinkLibrary* m_pNextDLL;
};
