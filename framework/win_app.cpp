#include "framework/win_app.h"

#include "framework/resource_modules.h"

namespace {

CWinApp* the_app = nullptr;

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) noexcept : m_pszAppName(appName) {
  the_app = this;
}

CWinApp::~CWinApp() {
  if (the_app == this) the_app = nullptr;
}

CWinApp* AfxGetApp() noexcept {
  return the_app;
}

BOOL CWinApp::InitInstance() {
  return TRUE;
}

int CWinApp::Run() {
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return ExitInstance();
}

int CWinApp::ExitInstance() {
  return 0;
}

BOOL CWinApp::Enable3dControls() {
  return LOBYTE(LOWORD(::GetVersion())) >= 4;
}

HICON CWinApp::LoadIcon(UINT id) const {
  LPCSTR name = MAKEINTRESOURCEA(id);
  return ::LoadIconA(AfxFindResourceHandle(name, MAKEINTRESOURCEA(14)), name);
}

void CWinApp::OnHelp() {
  char path[MAX_PATH + 4];
  DWORD length = ::GetModuleFileNameA(m_hInstance, path, MAX_PATH);
  char* dot = path + length;
  while (dot > path && *dot != '.' && *dot != '\\') --dot;
  if (*dot != '.') dot = path + length;
  lstrcpyA(dot, ".HLP");
  ::WinHelpA(m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr, path, HELP_CONTENTS, 0);
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  app->m_hInstance = instance;
  app->m_lpCmdLine = commandLine;
  app->m_nCmdShow = showCommand;
  if (app->m_pszAppName == nullptr) {
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(instance, path, MAX_PATH);
    const char* name = path;
    for (DWORD i = 0; i < length; ++i) {
      if (path[i] == '\\' || path[i] == '/') name = path + i + 1;
    }
    lstrcpynA(app->app_name_, name, MAX_PATH);
    char* dot = nullptr;
    for (char* c = app->app_name_; *c != '\0'; ++c) {
      if (*c == '.') dot = c;
    }
    if (dot != nullptr) *dot = '\0';
    app->m_pszAppName = app->app_name_;
  }
  if (!app->InitInstance()) {
    if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) {
      ::DestroyWindow(app->m_pMainWnd->m_hWnd);
    }
    return app->ExitInstance();
  }
  return app->Run();
}
