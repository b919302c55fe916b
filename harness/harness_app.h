#pragma once
// marlip's application: runs the main dialog once and ends with it.
#include "framework/win_app.h"

class CHarnessApp : public CWinApp {
 public:
  CHarnessApp() noexcept;
  ~CHarnessApp() override;

  // Runs the main dialog modally; always false, so the program ends when the dialog does.
  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};
