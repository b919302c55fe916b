#include "framework/wnd.h"

#include "framework/win_app.h"

CWnd::~CWnd() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

LRESULT AfxHandleOutOfMemory(HWND window, UINT message) noexcept {
  if (message == WM_PAINT) {
    // A box would uncover the window and bring the failing paint straight back: the window is
    // left unpainted until something invalidates it again.
    ::ValidateRect(window, nullptr);
    return 0;
  }
  CWinApp* app = AfxGetApp();
  // A fixed text: making a string now could fail the same way.
  ::MessageBoxA(window, "メモリが不足しています。", app != nullptr ? app->m_pszAppName : nullptr,
                MB_OK | MB_ICONEXCLAMATION);
  return 0;
}
