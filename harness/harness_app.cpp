#include "harness/harness_app.h"

#include "harness/harness_dialog.h"

BEGIN_MESSAGE_MAP(CHarnessApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CHarnessApp::CHarnessApp() noexcept = default;

CHarnessApp::~CHarnessApp() = default;

BOOL CHarnessApp::InitInstance() {
  Enable3dControls();
  CHarnessDialog dialog;
  m_pMainWnd = &dialog;
  // However the dialog ends (or fails to start), the program ends with it.
  dialog.DoModal();
  return FALSE;
}

// The one application object.
CHarnessApp theApp;
