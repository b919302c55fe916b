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
  // Waits until the program's thread has nothing left in its queue to work on.
  void Settle();

 private:
  PROCESS_INFORMATION info_{};
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

// The path in Windows form of a path given in Unix form (Wine's Z: drive); others unchanged.
std::wstring WindowsPath(const std::string& path);
std::wstring Widen(const std::string& text, UINT codePage = CP_UTF8);
// The contents of `path`, or "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace driver
