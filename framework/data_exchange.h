#pragma once
// What a dialog's DoDataExchange receives: the dialog and the direction of the exchange.
#include "framework/wnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, bool saveAndValidate) noexcept
      : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

  CWnd* m_pDlgWnd;
  // True: controls to members; false: members to controls.
  bool m_bSaveAndValidate;
};
