#include "framework/wnd.h"

#include "framework/win_app.h"

CWnd::~CWnd() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}
