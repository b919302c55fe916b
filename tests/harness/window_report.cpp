// Hooked into a running MARLIP.EXE by the driver: Wine answers neither WM_GETICON nor menu
// queries across processes, so this reads the main dialog's icons and system menu on MARLIP's
// own thread and writes them to "window_report.txt" in its current folder, one "key=value"
// line each (UTF-8). In the test build it also works the seam of test_build_seam.cpp.
#include <windows.h>

#include <string>

#include "tests/harness/texts.h"

namespace {

std::string Utf8(const wchar_t* text) {
  char buffer[512] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

std::string Line(const char* key, unsigned long value) {
  return std::string(key) + "=" + std::to_string(value) + "\n";
}

std::string Report() {
  HWND dialog = FindWindowW(L"#32770", driver::kMainCaption);
  std::string report;
  DWORD pid = 0;
  GetWindowThreadProcessId(dialog, &pid);
  report += Line("same_process", pid == GetCurrentProcessId());
  LRESULT big = SendMessageW(dialog, WM_GETICON, ICON_BIG, 0);
  LRESULT small = SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0);
  LRESULT drag = SendMessageW(dialog, WM_QUERYDRAGICON, 0, 0);
  report += Line("big_icon_set", big != 0);
  report += Line("small_is_big", small == big);
  report += Line("drag_is_big", drag == big);
  ICONINFO info{};
  BITMAP bitmap{};
  if (big != 0 && GetIconInfo(reinterpret_cast<HICON>(big), &info)) {
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    report += Line("big_icon_width", static_cast<unsigned long>(bitmap.bmWidth));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  HMENU menu = GetSystemMenu(dialog, FALSE);
  int count = GetMenuItemCount(menu);
  report += Line("menu_items", static_cast<unsigned long>(count));
  for (int back = 2; back >= 1 && count >= 2; --back) {
    wchar_t text[256] = {};
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = 256;
    GetMenuItemInfoW(menu, static_cast<UINT>(count - back), TRUE, &item);
    std::string prefix = back == 2 ? "second_last" : "last";
    report += Line((prefix + "_separator").c_str(), (item.fType & MFT_SEPARATOR) != 0);
    report += Line((prefix + "_id").c_str(), item.wID);
    report += prefix + "_text=" + Utf8(text) + "\n";
  }
  // The test build adds what only it can see.
  auto test_report = reinterpret_cast<void (*)(char*, int)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "MarlipTestReport")));
  if (test_report != nullptr) {
    char lines[512] = {};
    test_report(lines, sizeof lines);
    report += lines;
  }
  return report;
}

void WriteReport() {
  std::string report = Report();
  HANDLE file =
      CreateFileW(L"window_report.txt.part", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
  CloseHandle(file);
  // Whole or not at all, for the driver that polls for it.
  MoveFileExW(L"window_report.txt.part", L"window_report.txt", MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

// WH_GETMESSAGE hook: the requests are WM_NULL with wParam kWindowReportRequest or
// kStringFailureRequest.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    ReportHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_NULL) {
    if (message->wParam == driver::kWindowReportRequest) WriteReport();
    if (message->wParam == driver::kStringFailureRequest) {
      auto fail = reinterpret_cast<void (*)(long)>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(nullptr), "MarlipFailStringAllocationsAfter")));
      if (fail != nullptr) fail(static_cast<long>(message->lParam));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
