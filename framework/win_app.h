#pragma once
// The application: one static object per program, started by AfxWinMain.
#include "framework/wnd.h"

// The framework's Help command.
#define ID_HELP 0xE146

class CWinApp : public CCmdTarget {
 public:
  // `appName` null: the program's file name without its extension, set when it starts.
  explicit CWinApp(const char* appName = nullptr) noexcept;
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Sets the program up; false ends it at once, true runs the message loop.
  virtual BOOL InitInstance();
  // The message loop; returns the program's exit code.
  virtual int Run();
  // Called on the way out whatever InitInstance returned; returns the exit code.
  virtual int ExitInstance();

  // Asks for the three-dimensional look of dialog controls. From Windows 4.0 on the system
  // draws it itself, which is reported as success; earlier systems get none.
  BOOL Enable3dControls();

  // Icon resource `id` from whichever of the program's resource modules holds a group icon of
  // that number; null when none does.
  HICON LoadIcon(UINT id) const;

  // ID_HELP: opens the program's help file (its own name with .HLP) at its contents.
  void OnHelp();

  const char* m_pszAppName;
  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWDEFAULT;
  // The window whose end ends the program.
  CWnd* m_pMainWnd = nullptr;

  DECLARE_MESSAGE_MAP()

 private:
  char app_name_[MAX_PATH] = {};
  friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
};

// The one application object, or null before it is constructed.
CWinApp* AfxGetApp() noexcept;

// The framework version a program is built for.
inline constexpr DWORD kAfxVersion = 0x0400;
// The version the framework's start-up recorded for this program: kAfxVersion once the
// start-up has run (before any ordinary static object is made), 0 before.
DWORD AfxGetModuleVersion() noexcept;

// The framework's entry: fills in the application object and calls InitInstance, then Run
// when it returns true. Returns the program's exit code.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
