// real_box_answerer HOST_PROCESS_ID
// Plays the user of real_box_host.exe: finds each message box the host opens, checks its
// caption, text, buttons and owner, and clicks No on the first box and Yes on the second.
// Exit status 0 when exactly the two expected boxes came and both were as expected.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct ExpectedBox {
  const char* caption;
  const char* text;
  int answer;
};
const ExpectedBox kExpected[] = {
    {"ERROR", "アドレスの取得を開始します。", IDNO},
    {"エラーです。", "ファイルが存在しません。", IDYES},
};

struct Search {
  DWORD host;
  HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner_process = 0;
  GetWindowThreadProcessId(window, &owner_process);
  char class_name[16] = "";
  GetClassNameA(window, class_name, sizeof class_name);
  if (owner_process == search->host && IsWindowVisible(window) &&
      std::strcmp(class_name, "#32770") == 0) {
    search->box = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindText(HWND child, LPARAM context) {
  char class_name[16] = "";
  GetClassNameA(child, class_name, sizeof class_name);
  char text[256] = "";
  if (_stricmp(class_name, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0) {
    *reinterpret_cast<std::string*>(context) = text;
    return FALSE;
  }
  return TRUE;
}

// The box the host shows now, waiting up to `milliseconds` for one; null if none came.
HWND WaitForBox(DWORD host, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += 100) {
    Search search{host, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.box != nullptr) return search.box;
    Sleep(100);
  }
  return nullptr;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char pair[4];
  for (unsigned char byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02X ", byte);
    hex += pair;
  }
  return hex;
}

bool CheckEqual(const char* what, const std::string& seen, const char* expected) {
  if (seen == expected) return true;
  std::printf("FAILED: %s is [%s], expected [%s]\n", what, Hex(seen).c_str(),
              Hex(expected).c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const DWORD host = std::strtoul(argv[1], nullptr, 10);
  bool all_good = true;
  for (const ExpectedBox& expected : kExpected) {
    HWND box = WaitForBox(host, 30000);
    if (box == nullptr) {
      std::printf("FAILED: no box \"%s\" came\n", expected.caption);
      return 1;
    }
    char caption[256] = "";
    GetWindowTextA(box, caption, sizeof caption);
    std::string text;
    EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&text));
    all_good &= CheckEqual("caption", caption, expected.caption);
    all_good &= CheckEqual("text", text, expected.text);
    const bool buttons = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr &&
                         GetDlgItem(box, IDOK) == nullptr && GetDlgItem(box, IDCANCEL) == nullptr;
    if (!buttons) std::printf("FAILED: the buttons are not exactly Yes and No\n");
    const bool no_owner = GetWindow(box, GW_OWNER) == nullptr;
    if (!no_owner) std::printf("FAILED: the box has an owner window\n");
    all_good &= buttons && no_owner;

    // Click the answer and wait for the box to go.
    HWND button = GetDlgItem(box, expected.answer);
    if (button != nullptr) SendMessageA(button, BM_CLICK, 0, 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(100);
    if (IsWindow(box)) {
      std::printf("FAILED: the box did not close on its button\n");
      PostMessageA(box, WM_CLOSE, 0, 0);
      return 1;
    }
    std::printf("box \"%s\" checked and answered\n", expected.caption);
  }
  if (HWND extra = WaitForBox(host, 2000)) {
    std::printf("FAILED: a third box came\n");
    PostMessageA(extra, WM_CLOSE, 0, 0);
    all_good = false;
  }
  return all_good ? 0 : 1;
}
