#pragma once
// marlip's main dialog: "OK", "ｷｬﾝｾﾙ" and the button that runs the library once.
#include "framework/dialog.h"

class CHarnessDialog : public CDialog {
 public:
  explicit CHarnessDialog(CWnd* parent = nullptr);
  ~CHarnessDialog() override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  // Adds the About entry to the system menu and sets the window's icons; always true.
  BOOL OnInitDialog() override;
  // The About entry (any command whose value masked with 0xFFF0 is IDM_ABOUT) opens the
  // About box; everything else is the system's.
  void OnSysCommand(UINT command, LPARAM lParam);
  // Minimised: the icon, centred; otherwise the usual painting.
  void OnPaint();
  // The icon shown while the minimised window is dragged.
  HCURSOR OnQueryDragIcon();
  // "テスト開始": one extraction run on link.htm and out.txt, excluding "yahoo". A click while
  // a run is in progress (from inside one of its message boxes) is ignored.
  void OnStartTest();

  DECLARE_MESSAGE_MAP()

 private:
  // Icon IDR_HARNESS_ICON; shared, so never destroyed.
  HICON m_icon;
};
