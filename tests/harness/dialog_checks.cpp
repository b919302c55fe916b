// The main dialog as it runs, its system menu entry and the About box.
#include <windows.h>

#include <vector>

#include "tests/harness/expect.h"
#include "tests/harness/probe.h"
#include "tests/harness/scenarios.h"
#include "tests/harness/texts.h"

namespace driver {

namespace {

INT_PTR CALLBACK InertDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

// A control's place in pixels: its x, y, width and height in dialog units, each converted
// with MapDialogRect for template 102's font (a hidden dialog made in this process from the
// same template does the converting), as the dialog manager places controls.
RECT DialogUnitsToPixels(const std::wstring& marlip, int x, int y, int cx, int cy) {
  RECT units{x, y, cx, cy};
  HMODULE module = LoadLibraryExW(marlip.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(102), MAKEINTRESOURCEW(5));
  std::vector<BYTE> copy;
  if (found != nullptr) {
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    copy.assign(bytes, bytes + SizeofResource(module, found));
  }
  if (copy.size() > 16) {
    DWORD style;
    memcpy(&style, &copy[12], 4);
    style &= ~WS_VISIBLE;
    memcpy(&copy[12], &style, 4);
    HWND probe = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                            reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), nullptr,
                                            &InertDialog, 0);
    MapDialogRect(probe, &units);
    DestroyWindow(probe);
  }
  FreeLibrary(module);
  return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

void CheckMainWindow(const Setup& setup, HWND dialog) {
  LONG style = GetWindowLongW(dialog, GWL_STYLE);
  LONG ex_style = GetWindowLongW(dialog, GWL_EXSTYLE);
  const LONG kStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
  Expect((style & kStyle) == kStyle, __FILE__, __LINE__, "main dialog style", Hex(style));
  Expect((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0, __FILE__, __LINE__,
         "main dialog has no sizing frame or boxes", Hex(style));
  Expect((ex_style & WS_EX_APPWINDOW) != 0, __FILE__, __LINE__, "main dialog WS_EX_APPWINDOW",
         Hex(ex_style));
  EXPECT_TRUE(IsWindowEnabled(dialog));

  // The three buttons in tab order, where the template puts them.
  struct Button {
    int id;
    std::wstring text;
    int x, y, cx, cy;
    LONG kind;
  };
  const Button buttons[] = {
      {IDOK, L"OK", 129, 7, 50, 14, BS_DEFPUSHBUTTON},
      {IDCANCEL, L"ｷｬﾝｾﾙ", 129, 23, 50, 14, BS_PUSHBUTTON},
      {1000, L"テスト開始", 18, 25, 92, 46, BS_PUSHBUTTON},
  };
  std::vector<HWND> children = ChildrenOf(dialog);
  if (!EXPECT_EQ(std::size_t{3}, children.size())) return;
  for (std::size_t i = 0; i < 3; ++i) {
    const Button& expected = buttons[i];
    HWND button = children[i];
    EXPECT_EQ(expected.id, GetDlgCtrlID(button));
    EXPECT_EQ(std::wstring(L"Button"), ClassOf(button));
    EXPECT_EQ(expected.text, TextOf(button));
    LONG button_style = GetWindowLongW(button, GWL_STYLE);
    Expect((button_style & 0x0F) == expected.kind, __FILE__, __LINE__,
           "button kind of " + Narrow(expected.text), Hex(button_style));
    const LONG kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    Expect((button_style & kChild) == kChild, __FILE__, __LINE__,
           "child, visible, tab stop: " + Narrow(expected.text), Hex(button_style));
    RECT want = DialogUnitsToPixels(setup.marlip, expected.x, expected.y, expected.cx, expected.cy);
    RECT seen = RectInParent(button);
    Expect(SameRect(want, seen), __FILE__, __LINE__, "rectangle of " + Narrow(expected.text),
           "expected " + Show(want) + ", got " + Show(seen));
  }

  // "OK" is the default button and has the focus.
  LRESULT default_id = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), static_cast<LONG>(default_id));
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
  EXPECT_EQ(GetDlgItem(dialog, IDOK), gui.hwndFocus);
}

// The icons and the system menu, as a hook run on MARLIP's thread reads them.
void CheckFromInside(Inside& inside) {
  std::string report = inside.Ask();
  const std::string expected_lines[] = {
      "same_process=1",
      // Both icons are the one program icon, shown big at its 32-pixel size.
      "big_icon_set=1",
      "small_is_big=1",
      "drag_is_big=1",
      "big_icon_width=32",
      // The system menu ends with a separator and the About entry.
      "second_last_separator=1",
      "last_separator=0",
      "last_id=16",
      "last_text=" + Narrow(kAboutMenuEntry),
  };
  for (const std::string& line : expected_lines) {
    Expect(report.find(line + "\n") != std::string::npos, __FILE__, __LINE__,
           "from inside MARLIP: " + line, report);
  }
}

// Opens the About box with system command `command`, checks it, and closes it with `close`.
void CheckAboutBox(Program& marlip, Inside& inside, HWND dialog, WPARAM command,
                   void (*close)(HWND about), const char* how) {
  PostMessageW(dialog, WM_SYSCOMMAND, command, 0);
  HWND about = WaitForWindow(marlip.id(), kAboutCaption, 10000);
  if (!Expect(about != nullptr, __FILE__, __LINE__,
              "About box opens on system command " + Hex(command))) {
    return;
  }
  std::vector<HWND> children = ChildrenOf(about);
  if (EXPECT_EQ(std::size_t{4}, children.size())) {
    EXPECT_EQ(std::wstring(L"Static"), ClassOf(children[0]));
    EXPECT_TRUE(SendMessageW(children[0], STM_GETICON, 0, 0) != 0);
    EXPECT_EQ(std::wstring(L"marlip Version 1.0"), TextOf(children[1]));
    EXPECT_EQ(std::wstring(kAboutSecondLine), TextOf(children[2]));
    EXPECT_EQ(std::wstring(L"OK"), TextOf(children[3]));
    EXPECT_EQ(IDOK, GetDlgCtrlID(children[3]));
  }
  // Modal over the main dialog.
  EXPECT_EQ(dialog, GetWindow(about, GW_OWNER));
  EXPECT_TRUE(!IsWindowEnabled(dialog));
  close(about);
  Expect(WaitUntilGone(about, 10000), __FILE__, __LINE__,
         std::string("About box closes by ") + how);
  inside.Ask();
  EXPECT_TRUE(IsWindowEnabled(dialog));
  EXPECT_EQ(std::wstring(kMainCaption), TextOf(dialog));
}

}  // namespace

void CheckDialogs(const Setup& setup) {
  Program marlip(setup.marlip, setup.scratch);
  if (!EXPECT_TRUE(marlip.started())) return;
  HWND dialog = WaitForWindow(marlip.id(), kMainCaption, 60000);
  if (!EXPECT_TRUE(dialog != nullptr)) return;
  Inside inside(dialog, setup.scratch);
  if (!EXPECT_TRUE(inside.hooked())) return;
  inside.Ask();
  CheckMainWindow(setup, dialog);
  CheckFromInside(inside);

  CheckAboutBox(
      marlip, inside, dialog, 0x0010, [](HWND about) { Click(GetDlgItem(about, IDOK)); }, "OK");
  CheckAboutBox(
      marlip, inside, dialog, 0x001F,
      [](HWND about) { PressKey(GetDlgItem(about, IDOK), VK_ESCAPE); }, "Esc");
  CheckAboutBox(
      marlip, inside, dialog, 0x0010,
      [](HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); }, "the close box");

  // Other system commands get the system's handling: minimise (the icon is painted centred)
  // and restore.
  PostMessageW(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  inside.Ask();
  EXPECT_TRUE(IsIconic(dialog));
  PostMessageW(dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
  inside.Ask();
  EXPECT_TRUE(!IsIconic(dialog));
  EXPECT_EQ(std::wstring(kMainCaption), TextOf(dialog));
  EXPECT_EQ(std::size_t{1}, TopLevelWindows(marlip.id()).size());

  Click(GetDlgItem(dialog, IDOK));
  EXPECT_EQ(DWORD{0}, marlip.WaitForExit(20000));
}

}  // namespace driver
