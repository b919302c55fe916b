#pragma once
// Starting MARLIP.EXE and finding and reading its windows from another process.
#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// A started program; the process is ended (if still running) and its handles closed when the
// object goes away.
class Program {
 public:
  // Starts `exe` in `directory`. started() tells whether it could be started at all.
  Program(const std::wstring& exe, const std::wstring& directory);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }
  // Waits up to `ms` for the program to end; its exit code, or STILL_ACTIVE.
  DWORD WaitForExit(DWORD ms);

 private:
  PROCESS_INFORMATION info_{};
};

// A hook (marlip_window_report.dll) on the user-interface thread of MARLIP's main dialog.
class Inside {
 public:
  // `folder`: MARLIP's current folder, where the hook writes its reports.
  Inside(HWND dialog, const std::wstring& folder);
  ~Inside();
  Inside(const Inside&) = delete;
  Inside& operator=(const Inside&) = delete;

  bool hooked() const { return hook_ != nullptr; }
  // Posts a request behind everything posted to the dialog's thread so far and waits until
  // the thread takes it: by then every earlier message has been handled and the thread waits
  // for input again (in the dialog's loop or in a message box's). Returns the thread's report
  // of the dialog (see window_report.cpp), or "<missing>" when none came within 20 s.
  std::string Ask();
  // Test build only: its string allocations fail after `successes` more (-1: never), from
  // the messages posted after this one on.
  void FailStringAllocationsAfter(long successes);

 private:
  HWND dialog_;
  std::wstring report_file_;
  HMODULE helper_ = nullptr;
  HHOOK hook_ = nullptr;
};

// The visible top-level windows of process `pid` whose caption is `caption`.
std::vector<HWND> WindowsWithCaption(DWORD pid, const std::wstring& caption);
// The visible top-level windows of process `pid`.
std::vector<HWND> TopLevelWindows(DWORD pid);
// Waits up to `ms` for a visible top-level window of `pid` with `caption`; null if none came.
HWND WaitForWindow(DWORD pid, const std::wstring& caption, DWORD ms = 20000);
// Waits up to `ms` until `window` is gone; true when it is.
bool WaitUntilGone(HWND window, DWORD ms = 20000);

std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The direct children of `window`, in Z order (which is the dialog's control order).
std::vector<HWND> ChildrenOf(HWND window);
// `window`'s rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);

// Posts a click to a button (the button sends its parent BN_CLICKED).
void Click(HWND button);
// Posts a key press and release of `key` to `window`.
void PressKey(HWND window, WORD key);

// The folder of the running driver, with a trailing backslash.
std::wstring DriverFolder();
// The path in Windows form of a path given in Unix form (Wine's Z: drive); others unchanged.
std::wstring WindowsPath(const std::string& path);
std::wstring Widen(const std::string& text, UINT codePage = CP_UTF8);
// The contents of `path`, or "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace driver
