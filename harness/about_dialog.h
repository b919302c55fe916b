#pragma once
// The About box of the system menu.
#include "framework/dialog.h"

class CAboutDialog : public CDialog {
 public:
  // Owned by the application's main window.
  CAboutDialog();
  ~CAboutDialog() override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;

  DECLARE_MESSAGE_MAP()
};
