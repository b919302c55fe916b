#include "framework/dialog.h"

#include "framework/resource_modules.h"
#include "framework/string_heap.h"
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

namespace {

// Makes `message` the one being handled for as long as it lives, however the handler ends.
class CurrentMessage {
 public:
  CurrentMessage(MSG& slot, const MSG& message) noexcept : slot_(slot), outer_(slot) {
    slot_ = message;
  }
  ~CurrentMessage() { slot_ = outer_; }
  CurrentMessage(const CurrentMessage&) = delete;
  CurrentMessage& operator=(const CurrentMessage&) = delete;

 private:
  MSG& slot_;
  MSG outer_;
};

// What the dialog procedure returns for a handled `message` whose result is `result`.
INT_PTR Answer(HWND window, UINT message, LRESULT result) {
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
      ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

}  // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    dialog->m_hWnd = window;
  } else {
    // Messages before WM_INITDIALOG (WM_SETFONT and the like) get default processing.
    dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    if (dialog->passing_on_) {
      dialog->passing_on_ = false;
      return FALSE;
    }
  }
  INT_PTR result = dialog->OnMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) dialog->m_hWnd = nullptr;
  return result;
}

INT_PTR CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The system's code that called the dialog procedure cannot pass an exception on: the
  // framework's own failures end here.
  try {
    if (message == WM_INITDIALOG) return OnInitDialog();
    LRESULT result = 0;
    if (!Dispatch(message, wParam, lParam, &result)) return FALSE;
    return Answer(m_hWnd, message, result);
  } catch (const CMemoryException&) {
  }
  // Outside the catch block, so that the box's message loop runs with no exception in flight.
  LRESULT result = AfxHandleOutOfMemory(m_hWnd, message);
  // The dialog carries on; the system still gives it its focus.
  return message == WM_INITDIALOG ? TRUE : Answer(m_hWnd, message, result);
}

bool CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  bool handled;
  {
    // Handlers may run nested messages (a modal box inside a handler); each has its own.
    CurrentMessage current(current_, MSG{m_hWnd, message, wParam, lParam, 0, {}});
    handled = DispatchToMap(message, wParam, lParam, result);
  }
  if (!handled && message == WM_COMMAND && LOWORD(wParam) < 0xF000) {
    // Commands the dialog does not take go on to the application.
    CWinApp* app = AfxGetApp();
    handled = app != nullptr && app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
  }
  return handled;
}
