#pragma once
// Painting of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
#include "framework/wnd.h"

class CPaintDC {
 public:
  // `window` must exist and be the window whose WM_PAINT is being handled.
  explicit CPaintDC(CWnd* window);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  HDC m_hDC;
  PAINTSTRUCT m_ps;

 private:
  HWND window_;
};
