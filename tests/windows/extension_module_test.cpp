// The extension-library registration of the framework, linked into this test program.
#include <gtest/gtest.h>

#include "framework/extension_module.h"

namespace {

TEST(ExtensionModule, InitRecordsTheModuleOnceAndRestoresTheParkedLists) {
  AFX_MODULE_STATE* state = AfxGetModuleState();
  ASSERT_EQ(state, AfxGetModuleState());
  // What the attach hook parked before the static objects were made, and what they added.
  auto* parked_class = reinterpret_cast<CRuntimeClass*>(0x1000);
  auto* added_class = reinterpret_cast<CRuntimeClass*>(0x2000);
  state->m_pClassInit = parked_class;
  state->m_pFirstClass = added_class;

  AFX_EXTENSION_MODULE module = {};
  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_TRUE(AfxInitExtensionModule(module, self));
  EXPECT_TRUE(module.bInitialized);
  EXPECT_EQ(module.hModule, self);
  EXPECT_EQ(module.hResource, self);
  EXPECT_EQ(module.pFirstSharedClass, added_class);
  EXPECT_EQ(state->m_pFirstClass, parked_class);

  // A second call leaves record and module state alone.
  state->m_pFirstClass = added_class;
  EXPECT_TRUE(AfxInitExtensionModule(module, nullptr));
  EXPECT_EQ(module.hModule, self);
  EXPECT_EQ(state->m_pFirstClass, added_class);
  state->m_pFirstClass = nullptr;
  state->m_pClassInit = nullptr;
}

TEST(ExtensionModule, LibrariesEnterTheResourceChainNewestFirst) {
  AFX_MODULE_STATE* state = AfxGetModuleState();
  CDynLinkLibrary* before = state->m_pFirstDLL;
  AFX_EXTENSION_MODULE first = {}, second = {};
  AfxInitExtensionModule(first, reinterpret_cast<HMODULE>(0x10000));
  AfxInitExtensionModule(second, reinterpret_cast<HMODULE>(0x20000));

  CDynLinkLibrary first_entry(first);
  CDynLinkLibrary second_entry(second, TRUE);
  EXPECT_EQ(state->m_pFirstDLL, &second_entry);
  EXPECT_EQ(second_entry.m_pNextDLL, &first_entry);
  EXPECT_EQ(first_entry.m_pNextDLL, before);
  EXPECT_EQ(first_entry.m_hModule, reinterpret_cast<HMODULE>(0x10000));
  EXPECT_FALSE(first_entry.m_bSystem);
  EXPECT_TRUE(second_entry.m_bSystem);
  state->m_pFirstDLL = before;  // the entries live on this stack only
}

}  // namespace
