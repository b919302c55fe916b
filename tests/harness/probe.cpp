#include "tests/harness/probe.h"

#include "tests/harness/texts.h"

namespace driver {

Program::Program(const std::wstring& exe, const std::wstring& directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &startup, &info_)) {
    info_ = {};
  }
}

Program::~Program() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

DWORD Program::WaitForExit(DWORD ms) {
  DWORD code = STILL_ACTIVE;
  WaitForSingleObject(info_.hProcess, ms);
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

Inside::Inside(HWND dialog, const std::wstring& folder)
    : dialog_(dialog), report_file_(folder + L"\\window_report.txt") {
  helper_ = LoadLibraryW((DriverFolder() + L"marlip_window_report.dll").c_str());
  auto hook_proc =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(helper_, "ReportHook@12")));
  if (hook_proc == nullptr) return;
  hook_ = SetWindowsHookExW(WH_GETMESSAGE, hook_proc, helper_,
                            GetWindowThreadProcessId(dialog, nullptr));
}

Inside::~Inside() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  if (helper_ != nullptr) FreeLibrary(helper_);
}

std::string Inside::Ask() {
  DeleteFileW(report_file_.c_str());
  PostMessageW(dialog_, WM_NULL, kWindowReportRequest, 0);
  std::string report = "<missing>";
  for (int waited = 0; waited < 20000 && report == "<missing>"; waited += 50) {
    Sleep(50);
    report = ReadFileBytes(report_file_);
  }
  return report;
}

void Inside::FailStringAllocationsAfter(long successes) {
  PostMessageW(dialog_, WM_NULL, kStringFailureRequest, successes);
}

namespace {

struct Search {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  DWORD owner_pid = 0;
  GetWindowThreadProcessId(window, &owner_pid);
  if (owner_pid == search->pid && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid) {
  Search search{pid, {}};
  EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> WindowsWithCaption(DWORD pid, const std::wstring& caption) {
  std::vector<HWND> matching;
  for (HWND window : TopLevelWindows(pid)) {
    if (TextOf(window) == caption) matching.push_back(window);
  }
  return matching;
}

HWND WaitForWindow(DWORD pid, const std::wstring& caption, DWORD ms) {
  for (DWORD waited = 0;; waited += 50) {
    std::vector<HWND> found = WindowsWithCaption(pid, caption);
    if (!found.empty()) return found.front();
    if (waited >= ms) return nullptr;
    Sleep(50);
  }
}

bool WaitUntilGone(HWND window, DWORD ms) {
  for (DWORD waited = 0; IsWindow(window) && IsWindowVisible(window); waited += 50) {
    if (waited >= ms) return false;
    Sleep(50);
  }
  return true;
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[128] = {};
  GetClassNameW(window, buffer, 128);
  return buffer;
}

std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Click(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
}

void PressKey(HWND window, WORD key) {
  UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageW(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

std::wstring Widen(const std::string& text, UINT codePage) {
  int size =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::wstring DriverFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring WindowsPath(const std::string& path) {
  std::wstring wide = Widen(path);
  if (wide.empty() || wide[0] != L'/') return wide;
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return L"Z:" + wide;
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  return CloseHandle(file) && ok;
}

}  // namespace driver
