#include "harness/harness_dialog.h"

#include "framework/cstring.h"
#include "framework/paint_dc.h"
#include "framework/win_app.h"
#include "harness/about_dialog.h"
#include "harness/icon_position.h"
#include "harness/resource.h"

BEGIN_MESSAGE_MAP(CHarnessDialog, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_START_TEST, &CHarnessDialog::OnStartTest)
END_MESSAGE_MAP()

CHarnessDialog::CHarnessDialog(CWnd* parent)
    : CDialog(IDD_HARNESS_DIALOG, parent), m_icon(AfxGetApp()->LoadIcon(IDR_HARNESS_ICON)) {}

CHarnessDialog::~CHarnessDialog() = default;

void CHarnessDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
}

BOOL CHarnessDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  HMENU system_menu = ::GetSystemMenu(m_hWnd, FALSE);
  CString about_entry;
  about_entry.LoadString(IDS_ABOUT_MENU);
  if (!about_entry.IsEmpty()) {
    ::AppendMenuA(system_menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(system_menu, MF_STRING, IDM_ABOUT, about_entry.GetString());
  }
  ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
  ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
  return TRUE;
}

void CHarnessDialog::OnSysCommand(UINT command, LPARAM) {
  if ((command & 0xFFF0) == IDM_ABOUT) {
    CAboutDialog about;
    about.DoModal();
  } else {
    Default();
  }
}

void CHarnessDialog::OnPaint() {
  if (!::IsIconic(m_hWnd)) {
    Default();
    return;
  }
  CPaintDC dc(this);
  ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
  int icon_width = ::GetSystemMetrics(SM_CXICON);
  int icon_height = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  int x = CenteredIconOffset(client.right - client.left, icon_width);
  int y = CenteredIconOffset(client.bottom - client.top, icon_height);
  ::DrawIcon(dc.m_hDC, x, y, m_icon);
}

HCURSOR CHarnessDialog::OnQueryDragIcon() {
  return static_cast<HCURSOR>(m_icon);
}
