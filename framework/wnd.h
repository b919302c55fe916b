#pragma once
// A window as the framework sees it: the handle, once the window exists.
#include "framework/cmd_target.h"

class CWnd : public CCmdTarget {
 public:
  // A window object that goes away stops being the application's main window.
  ~CWnd() override;

  // Null until the window is created and again after it is destroyed.
  HWND m_hWnd = nullptr;
};
