#pragma once
// A modal dialog built from a dialog template resource. Messages reach the class's message
// map; what no entry takes gets the system's default dialog processing.
#include "framework/data_exchange.h"

class CDialog : public CWnd {
 public:
  // `templateId`: the dialog template resource; `parent` null: the application's main window
  // owns the dialog (none while the main window itself is being run).
  explicit CDialog(UINT templateId, CWnd* parent = nullptr) noexcept;
  ~CDialog() override;

  // Creates the dialog and runs it modally; returns the code it ended with, or -1 when it
  // could not be created.
  virtual INT_PTR DoModal();

  // The dialog exists and its controls are set up: fills the controls from the members.
  // True lets the system give the focus to the first control that takes it.
  virtual BOOL OnInitDialog();
  // IDOK and Enter: takes the controls' data and ends the dialog with IDOK.
  virtual void OnOK();
  // IDCANCEL, Esc and the close box: ends the dialog with IDCANCEL.
  virtual void OnCancel();

  void EndDialog(int result);

 protected:
  // Moves data between the controls and the members; nothing here.
  virtual void DoDataExchange(CDataExchange* dx);
  // Runs DoDataExchange in the given direction; the base class always succeeds.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  // Gives the message being handled to the system's default dialog processing, at once, and
  // returns its result. Only from inside a handler.
  LRESULT Default();

  DECLARE_MESSAGE_MAP()

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Runs the handler of `message` and turns its result into the dialog procedure's.
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Looks `message` up in the maps, then, for a command, in the application's; true when a
  // handler ran, its result in `*result`.
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  UINT template_id_;
  CWnd* parent_;
  // The message being handled, for Default().
  MSG current_{};
  // Set by Default() so that the one call the default processing makes back into
  // DialogProc is declined.
  bool passing_on_ = false;
};
