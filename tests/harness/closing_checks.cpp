// Ending the program: every way of closing the main dialog, and a missing library.
#include <windows.h>

#include "tests/harness/expect.h"
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
    marlip.Settle();
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
  std::wstring library = folder + L"\\QUILLON.dll";
  DeleteFileW(library.c_str());

  struct Case {
    const char* name;
    bool with_library;
    DWORD exit_code;
  };
  const Case cases[] = {
      {"without QUILLON.dll", false, 0xC0000135},            // STATUS_DLL_NOT_FOUND
      {"QUILLON.dll without the export", true, 0xC0000139},  // STATUS_ENTRYPOINT_NOT_FOUND
  };
  for (const Case& c : cases) {
    if (c.with_library) EXPECT_TRUE(CopyFileW(setup.no_export.c_str(), library.c_str(), FALSE));
    Program marlip(copy, folder);
    // The loader refuses before any of the program's code runs: no window, a loader status.
    Expect(marlip.WaitForExit(60000) == c.exit_code, __FILE__, __LINE__,
           std::string("refused to start ") + c.name);
    EXPECT_TRUE(TopLevelWindows(marlip.id()).empty());
  }
}

}  // namespace driver
