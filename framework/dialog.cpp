#include "framework/dialog.h"

#include "framework/resource_modules.h"
#include "framework/win_app.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) noexcept
    : template_id_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  HWND owner = nullptr;
  if (parent_ != nullptr) {
    owner = parent_->m_hWnd;
  } else if (CWinApp* app = AfxGetApp();
             app != nullptr && app->m_pMainWnd != this && app->m_pMainWnd != nullptr) {
    owner = app->m_pMainWnd->m_hWnd;
  }
  LPCSTR name = MAKEINTRESOURCEA(template_id_);
  HINSTANCE module = AfxFindResourceHandle(name, MAKEINTRESOURCEA(5));
  return ::DialogBoxParamA(module, name, owner, &CDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
  ::EndDialog(m_hWnd, result);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate != FALSE);
  DoDataExchange(&dx);
  return TRUE;
}

LRESULT CDialog::Default() {
  passing_on_ = true;
  LRESULT result = ::DefDlgProcA(m_hWnd, current_.message, current_.wParam, current_.lParam);
  passing_on_ = false;
  return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    dialog->m_hWnd = window;
    return dialog->OnInitDialog();
  }
  // Messages before WM_INITDIALOG (WM_SETFONT and the like) get default processing.
  CDialog* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  if (dialog == nullptr) return FALSE;
  if (dialog->passing_on_) {
    dialog->passing_on_ = false;
    return FALSE;
  }
  INT_PTR result = dialog->OnMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) dialog->m_hWnd = nullptr;
  return result;
}

INT_PTR CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Handlers may run nested messages (a modal box inside a handler); each has its own.
  MSG outer = current_;
  current_ = MSG{m_hWnd, message, wParam, lParam, 0, {}};
  LRESULT result = 0;
  bool handled = DispatchToMap(message, wParam, lParam, &result);
  current_ = outer;
  if (!handled && message == WM_COMMAND && LOWORD(wParam) < 0xF000) {
    // Commands the dialog does not take go on to the application.
    CWinApp* app = AfxGetApp();
    handled = app != nullptr && app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
  }
  if (!handled) return FALSE;
  switch (message) {
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      // These answer through the dialog procedure's own result.
      return static_cast<INT_PTR>(result);
    default:
      ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}
