#include "framework/extension_module.h"

namespace {

AFX_MODULE_STATE module_state = {};

// The attach hook of an extension library. It has to run before any static object of the
// library is made, because those objects register their classes and factories as they are
// made: it parks the lists the module had so far and starts them empty, so that what the
// library's objects add can be told apart (AfxInitExtensionModule takes it over). The highest
// construction priority puts it ahead of every ordinary static object of the image; at
// unload it has nothing to undo.
struct ExtensionAttachHook {
  ExtensionAttachHook() noexcept {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    state->m_pClassInit = state->m_pFirstClass;
    state->m_pFactoryInit = state->m_pFirstFactory;
    state->m_pFirstClass = nullptr;
    state->m_pFirstFactory = nullptr;
  }
};
__attribute__((init_priority(101))) ExtensionAttachHook attach_hook;

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() noexcept {
  return &module_state;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module) noexcept {
  if (state.bInitialized) return TRUE;
  AFX_MODULE_STATE* module_state = AfxGetModuleState();
  state.hModule = module;
  state.hResource = module;
  // The library's own classes are shared through its chain entry; the module keeps the ones
  // it had before the library's objects were made.
  state.pFirstSharedClass = module_state->m_pFirstClass;
  state.pFirstSharedFactory = module_state->m_pFirstFactory;
  module_state->m_pFirstClass = module_state->m_pClassInit;
  module_state->m_pFirstFactory = module_state->m_pFactoryInit;
  state.bInitialized = TRUE;
  return TRUE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system) noexcept
    : m_hModule(state.hModule),
      m_hResource(state.hResource),
      m_pFirstSharedClass(state.pFirstSharedClass),
      m_pFirstSharedFactory(state.pFirstSharedFactory),
      m_bSystem(system),
      m_pNextDLL(nullptr) {
  AFX_MODULE_STATE* module_state = AfxGetModuleState();
  m_pNextDLL = module_state->m_pFirstDLL;
  module_state->m_pFirstDLL = this;
}
