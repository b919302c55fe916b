// Operates a running MARLIP.EXE for scripts (the screenshots):
//   marlip_poke main    waits for the main dialog and prints its place, WxH+X+Y
//   marlip_poke about   opens the About box and prints its place
//   marlip_poke close   closes the About box, if open, and the main dialog
// Exit code 0 on success, 1 when the window did not come.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tests/harness/texts.h"

namespace {

HWND WaitFor(const wchar_t* caption) {
  for (int waited = 0; waited < 60000; waited += 100) {
    HWND window = FindWindowW(L"#32770", caption);
    if (window != nullptr && IsWindowVisible(window)) return window;
    Sleep(100);
  }
  return nullptr;
}

int PrintPlace(HWND window) {
  if (window == nullptr) return 1;
  // Let the window finish painting before anyone takes its picture.
  Sleep(1000);
  RECT rect;
  GetWindowRect(window, &rect);
  std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
              rect.top);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* what = argc == 2 ? argv[1] : "";
  HWND dialog = WaitFor(driver::kMainCaption);
  if (dialog == nullptr) return 1;
  if (std::strcmp(what, "main") == 0) return PrintPlace(dialog);
  if (std::strcmp(what, "about") == 0) {
    PostMessageW(dialog, WM_SYSCOMMAND, 0x0010, 0);
    return PrintPlace(WaitFor(driver::kAboutCaption));
  }
  if (std::strcmp(what, "close") == 0) {
    HWND about = FindWindowW(L"#32770", driver::kAboutCaption);
    if (about != nullptr) PostMessageW(about, WM_COMMAND, IDOK, 0);
    Sleep(500);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  std::printf("usage: marlip_poke main|about|close\n");
  return 2;
}
