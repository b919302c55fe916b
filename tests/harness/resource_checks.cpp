// MARLIP.EXE's resources, read from the file: templates, string, icon and version block.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/harness/expect.h"
#include "tests/harness/scenarios.h"
#include "tests/harness/texts.h"

namespace driver {

namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// Reads a resource's fields in order.
class Reader {
 public:
  Reader(const BYTE* bytes, DWORD size) : bytes_(bytes), size_(size) {}
  WORD Word() { return static_cast<WORD>(Take(2)); }
  DWORD Dword() { return Take(4); }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() { return static_cast<BYTE>(Take(1)); }
  // A name or ordinal field; an ordinal reads as "#n".
  std::wstring NameOrOrdinal() {
    WORD first = Word();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    std::wstring text;
    for (WORD c = first; c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignDword() { at_ = (at_ + 3) & ~DWORD{3}; }
  bool ok() const { return at_ <= size_; }

 private:
  DWORD Take(DWORD count) {
    DWORD value = 0;
    if (at_ + count <= size_) std::memcpy(&value, bytes_ + at_, count);
    at_ += count;
    return value;
  }
  const BYTE* bytes_;
  DWORD size_;
  DWORD at_ = 0;
};

struct Item {
  DWORD style;
  short x, y, cx, cy;
  int id;
  std::wstring kind;  // "#128" button, "#130" static
  std::wstring text;
};

void CheckItems(Reader& in, bool extended, const std::vector<Item>& expected, const char* name) {
  for (const Item& want : expected) {
    in.AlignDword();
    DWORD help = extended ? in.Dword() : 0;
    DWORD ex_style = extended ? in.Dword() : 0;
    DWORD style = in.Dword();
    if (!extended) ex_style = in.Dword();
    short x = in.Short(), y = in.Short(), cx = in.Short(), cy = in.Short();
    int id = extended ? static_cast<int>(in.Dword()) : static_cast<short>(in.Word());
    std::wstring kind = in.NameOrOrdinal();
    std::wstring text = in.NameOrOrdinal();
    WORD extra = in.Word();
    std::string where = std::string(name) + " control " + Narrow(want.text);
    Expect(help == 0 && ex_style == 0 && extra == 0, __FILE__, __LINE__,
           where + ": no help id, extended style or extra data");
    Expect(style == want.style, __FILE__, __LINE__, where + " style", Hex(style));
    Expect(x == want.x && y == want.y && cx == want.cx && cy == want.cy, __FILE__, __LINE__,
           where + " position and size",
           std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(cx) + "," +
               std::to_string(cy));
    EXPECT_EQ(want.id, id);
    EXPECT_EQ(want.kind, kind);
    EXPECT_EQ(want.text, text);
  }
}

// The bytes of resource `name` of `type` in Japanese; empty when there is none.
std::vector<BYTE> Resource(HMODULE module, LPCWSTR type, LPCWSTR name) {
  HRSRC found = FindResourceExW(module, type, name, kJapanese);
  if (found == nullptr) return {};
  const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  return std::vector<BYTE>(bytes, bytes + SizeofResource(module, found));
}

void CheckMainTemplate(HMODULE module) {
  std::vector<BYTE> bytes = Resource(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(102));
  if (!Expect(!bytes.empty(), __FILE__, __LINE__, "template 102 in Japanese")) return;
  Reader in(bytes.data(), static_cast<DWORD>(bytes.size()));
  EXPECT_EQ(WORD{1}, in.Word());
  EXPECT_EQ(WORD{0xFFFF}, in.Word());
  EXPECT_EQ(DWORD{0}, in.Dword());           // help id
  EXPECT_EQ(DWORD{0x00040000}, in.Dword());  // WS_EX_APPWINDOW
  EXPECT_EQ(DWORD{0x90C800C0}, in.Dword());
  EXPECT_EQ(WORD{3}, in.Word());
  EXPECT_EQ(0, in.Short());
  EXPECT_EQ(0, in.Short());
  EXPECT_EQ(186, in.Short());
  EXPECT_EQ(93, in.Short());
  EXPECT_EQ(std::wstring(), in.NameOrOrdinal());  // no menu
  EXPECT_EQ(std::wstring(), in.NameOrOrdinal());  // the standard dialog class
  EXPECT_EQ(std::wstring(kMainCaption), in.NameOrOrdinal());
  EXPECT_EQ(WORD{9}, in.Word());
  EXPECT_EQ(WORD{0}, in.Word());  // weight
  EXPECT_EQ(BYTE{0}, in.Byte());  // not italic
  EXPECT_EQ(BYTE{1}, in.Byte());  // character set
  EXPECT_EQ(std::wstring(L"ＭＳ Ｐゴシック"), in.NameOrOrdinal());
  CheckItems(in, true,
             {{0x50010001, 129, 7, 50, 14, IDOK, L"#128", L"OK"},
              {0x50010000, 129, 23, 50, 14, IDCANCEL, L"#128", L"ｷｬﾝｾﾙ"},
              {0x50010000, 18, 25, 92, 46, 1000, L"#128", L"テスト開始"}},
             "template 102");
  EXPECT_TRUE(in.ok());
}

void CheckAboutTemplate(HMODULE module) {
  std::vector<BYTE> bytes = Resource(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(100));
  if (!Expect(!bytes.empty(), __FILE__, __LINE__, "template 100 in Japanese")) return;
  Reader in(bytes.data(), static_cast<DWORD>(bytes.size()));
  EXPECT_EQ(DWORD{0x80C800C0}, in.Dword());
  EXPECT_EQ(DWORD{0}, in.Dword());
  EXPECT_EQ(WORD{4}, in.Word());
  EXPECT_EQ(0, in.Short());
  EXPECT_EQ(0, in.Short());
  EXPECT_EQ(217, in.Short());
  EXPECT_EQ(55, in.Short());
  EXPECT_EQ(std::wstring(), in.NameOrOrdinal());
  EXPECT_EQ(std::wstring(), in.NameOrOrdinal());
  EXPECT_EQ(std::wstring(kAboutCaption), in.NameOrOrdinal());
  EXPECT_EQ(WORD{9}, in.Word());
  EXPECT_EQ(std::wstring(L"ＭＳ Ｐゴシック"), in.NameOrOrdinal());
  CheckItems(in, false,
             {{0x50000003, 11, 17, 18, 20, -1, L"#130", L"#128"},
              {0x50020080, 40, 10, 119, 8, -1, L"#130", L"marlip Version 1.0"},
              {0x50020000, 40, 25, 119, 8, -1, L"#130", kAboutSecondLine},
              {0x50030001, 178, 7, 32, 14, IDOK, L"#128", L"OK"}},
             "template 100");
  EXPECT_TRUE(in.ok());
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(names)->push_back(reinterpret_cast<ULONG_PTR>(name));
  return TRUE;
}

void CheckStringAndIcon(HMODULE module) {
  // String 101 lives in block 101 / 16 + 1 = 7.
  EXPECT_TRUE(!Resource(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(7)).empty());
  wchar_t text[128] = {};
  LoadStringW(module, 101, text, 128);
  EXPECT_EQ(std::wstring(kAboutMenuEntry), std::wstring(text));
  // It is the only string: the block holds nothing else, and no other block exists.
  for (UINT id = 96; id < 112; ++id) {
    if (id != 101) EXPECT_EQ(0, LoadStringW(module, id, text, 128));
  }
  std::vector<ULONG_PTR> blocks;
  EnumResourceNamesW(module, MAKEINTRESOURCEW(6), &CollectName,
                     reinterpret_cast<LONG_PTR>(&blocks));
  Expect(blocks == std::vector<ULONG_PTR>{7}, __FILE__, __LINE__, "one string block, number 7",
         std::to_string(blocks.size()) + " blocks");

  std::vector<BYTE> group = Resource(module, MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(128));
  if (!Expect(group.size() == 6 + 2 * 14, __FILE__, __LINE__, "icon group 128 of two images",
              std::to_string(group.size()))) {
    return;
  }
  Reader in(group.data(), static_cast<DWORD>(group.size()));
  EXPECT_EQ(WORD{0}, in.Word());
  EXPECT_EQ(WORD{1}, in.Word());
  EXPECT_EQ(WORD{2}, in.Word());
  for (BYTE size : {BYTE{32}, BYTE{16}}) {
    EXPECT_EQ(size, in.Byte());
    EXPECT_EQ(size, in.Byte());
    EXPECT_EQ(BYTE{16}, in.Byte());  // colours
    in.Byte();
    EXPECT_EQ(WORD{1}, in.Word());  // planes
    EXPECT_EQ(WORD{4}, in.Word());  // bits per pixel
    in.Dword();
    WORD image = in.Word();
    EXPECT_TRUE(!Resource(module, MAKEINTRESOURCEW(3), MAKEINTRESOURCEW(image)).empty());
  }
}

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
  std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length)) return L"<none>";
  return length == 0 ? L"" : std::wstring(static_cast<const wchar_t*>(value));
}

void CheckVersion(const Setup& setup, HMODULE module) {
  EXPECT_TRUE(!Resource(module, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1)).empty());
  DWORD size = GetFileVersionInfoSizeW(setup.marlip.c_str(), nullptr);
  std::vector<BYTE> block(size);
  if (!EXPECT_TRUE(GetFileVersionInfoW(setup.marlip.c_str(), 0, size, block.data()))) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    EXPECT_EQ(DWORD{0x00010000}, fixed->dwFileVersionMS);
    EXPECT_EQ(DWORD{0x00000001}, fixed->dwFileVersionLS);
    EXPECT_EQ(DWORD{0x00010000}, fixed->dwProductVersionMS);
    EXPECT_EQ(DWORD{0x00000001}, fixed->dwProductVersionLS);
    EXPECT_EQ(DWORD{0x3F}, fixed->dwFileFlagsMask);
    EXPECT_EQ(DWORD{0}, fixed->dwFileFlags);
    EXPECT_EQ(DWORD{4}, fixed->dwFileOS);
    EXPECT_EQ(DWORD{1}, fixed->dwFileType);
    EXPECT_EQ(DWORD{0}, fixed->dwFileSubtype);
    EXPECT_EQ(DWORD{0}, fixed->dwFileDateMS | fixed->dwFileDateLS);
  }
  const wchar_t* entries[][2] = {
      {L"CompanyName", L""},
      {L"FileDescription", L"MARLIP MFC ｱﾌﾟﾘｹｰｼｮﾝ"},
      {L"FileVersion", L"1, 0, 0, 1"},
      {L"InternalName", L"MARLIP"},
      {L"LegalTrademarks", L""},
      {L"OriginalFilename", L"MARLIP.EXE"},
      {L"ProductName", L"MARLIP ｱﾌﾟﾘｹｰｼｮﾝ"},
      {L"ProductVersion", L"1, 0, 0, 1"},
  };
  for (const auto& entry : entries) {
    Expect(VersionString(block, entry[0]) == entry[1], __FILE__, __LINE__,
           "version entry " + Narrow(entry[0]), Narrow(VersionString(block, entry[0])));
  }
  DWORD* translation = nullptr;
  if (EXPECT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length))) {
    EXPECT_EQ(DWORD{0x04B00411}, *translation);
  }
}

}  // namespace

void CheckResources(const Setup& setup) {
  HMODULE module = LoadLibraryExW(setup.marlip.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!EXPECT_TRUE(module != nullptr)) return;
  CheckMainTemplate(module);
  CheckAboutTemplate(module);
  CheckStringAndIcon(module);
  CheckVersion(setup, module);
  FreeLibrary(module);
}

}  // namespace driver
