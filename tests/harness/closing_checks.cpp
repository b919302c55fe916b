// Ending the program: every way of closing the main dialog, and a missing library.
#include <windows.h>

#include <vector>

#include "tests/harness/expect.h"
#include "tests/harness/imports.h"
#include "tests/harness/probe.h"
#include "tests/harness/scenarios.h"
#include "tests/harness/texts.h"

namespace driver {

void CheckClosing(const Setup& setup) {
  std::wstring folder = setup.scratch + L"\\closing";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring out = folder + L"\\out.txt";
  WriteFileBytes(folder + L"\\link.htm", "<a href=\"http://example.com/\">x</a>");

  struct Way {
    const char* name;
    void (*close)(HWND dialog);
  };
  const Way ways[] = {
      {"OK", [](HWND d) { Click(GetDlgItem(d, IDOK)); }},
      {"Enter", [](HWND d) { PressKey(GetDlgItem(d, IDOK), VK_RETURN); }},
      {"ｷｬﾝｾﾙ", [](HWND d) { Click(GetDlgItem(d, IDCANCEL)); }},
      {"Esc", [](HWND d) { PressKey(GetDlgItem(d, IDOK), VK_ESCAPE); }},
      {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const Way& way : ways) {
    DeleteFileW(out.c_str());
    Program marlip(setup.marlip, folder);
    HWND dialog = WaitForWindow(marlip.id(), kMainCaption, 60000);
    if (!Expect(dialog != nullptr, __FILE__, __LINE__, std::string("started for ") + way.name)) {
      continue;
    }
    Inside inside(dialog, folder);
    inside.Ask();
    way.close(dialog);
    Expect(marlip.WaitForExit(20000) == 0, __FILE__, __LINE__,
           std::string("program ends by ") + way.name);
    // A run would have created out.txt.
    Expect(ReadFileBytes(out) == "<missing>", __FILE__, __LINE__,
           std::string("no run when closing by ") + way.name);
  }
}

void CheckMissingLibrary(const Setup& setup) {
  std::wstring folder = setup.scratch + L"\\alone";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring copy = folder + L"\\MARLIP.EXE";
  EXPECT_TRUE(CopyFileW(setup.marlip.c_str(), copy.c_str(), FALSE));
  DeleteFileW((folder + L"\\QUILLON.dll").c_str());
  Program marlip(copy, folder);
  // The loader refuses before any of the program's code runs: no window, a loader status.
  DWORD exit_code = marlip.WaitForExit(60000);
  EXPECT_EQ(DWORD{0xC0000135}, exit_code);  // STATUS_DLL_NOT_FOUND
  EXPECT_TRUE(TopLevelWindows(marlip.id()).empty());

  // A missing export: Windows refuses a load-time import by name that the DLL lacks (Wine
  // binds it to a stub instead, so this is read from the file): the one import from
  // QUILLON.dll is _BEGIN_SEARCH_ADD@32, by name.
  std::vector<std::string> imports = ImportsFrom(setup.marlip, "QUILLON.dll");
  EXPECT_EQ(std::size_t{1}, imports.size());
  if (!imports.empty()) EXPECT_EQ(std::string("_BEGIN_SEARCH_ADD@32"), imports.front());
}

}  // namespace driver
