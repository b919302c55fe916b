// The version block of QUILLON.dll, read the way Windows reads it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::vector<char> VersionBlock() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dll(path);
  dll.replace(dll.rfind('\\') + 1, std::string::npos, "QUILLON.dll");
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(dll.c_str(), &ignored));
  if (block.empty() ||
      !GetFileVersionInfoA(dll.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
    block.clear();
  }
  return block;
}

std::string Entry(std::vector<char>& block, const char* name) {
  void* value = nullptr;
  UINT length = 0;
  std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(block.data(), key.c_str(), &value, &length)) return "<none>";
  return length == 0 ? "" : static_cast<const char*>(value);
}

TEST(VersionBlock, FixedPartSaysVersion1001OfA32BitWindowsDll) {
  std::vector<char> block = VersionBlock();
  ASSERT_FALSE(block.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, 4u);
  EXPECT_EQ(fixed->dwFileType, 2u);
  EXPECT_EQ(fixed->dwFileSubtype, 0u);

  DWORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(LOWORD(*translation), 0x0409);
  EXPECT_EQ(HIWORD(*translation), 0x04B0);
}

TEST(VersionBlock, StringTableHoldsEveryEntry) {
  std::vector<char> block = VersionBlock();
  ASSERT_FALSE(block.empty());
  const struct {
    const char* name;
    const char* value;
  } entries[] = {
      {"CompanyName", ""},
      {"FileDescription", "QUILLON DLL"},
      {"FileVersion", "1, 0, 0, 1"},
      {"InternalName", "QUILLON"},
      {"LegalTrademarks", ""},
      {"OriginalFilename", "QUILLON.DLL"},
      {"ProductName", "QUILLON Dynamic Link Library"},
      {"ProductVersion", "1, 0, 0, 1"},
      {"Comments", "QUILLON Windows Dynamic Link Library"},
  };
  for (const auto& entry : entries) EXPECT_EQ(Entry(block, entry.name), entry.value) << entry.name;
  EXPECT_NE(Entry(block, "LegalCopyright"), "<none>");
}

}  // namespace
