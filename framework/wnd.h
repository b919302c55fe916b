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

// The framework's standard handling of running out of memory (a CMemoryException) inside a
// handler of `message` for `window`: a box of the framework's own, owned by the window, with
// the application's name as caption (none for WM_PAINT, whose window is validated instead).
// Returns the result the message then gets.
LRESULT AfxHandleOutOfMemory(HWND window, UINT message) noexcept;
