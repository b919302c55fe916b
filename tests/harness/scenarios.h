#pragma once
// The driver's scenarios. Each starts MARLIP.EXE as often as it needs and records its checks.
#include <windows.h>

#include <string>

namespace cases {
struct Box;
}

namespace driver {

class Program;
class Inside;

struct Setup {
  std::wstring marlip;   // MARLIP.EXE beside QUILLON.dll
  std::wstring scratch;  // a folder the driver may fill
};

// The resources inside MARLIP.EXE, read without running it.
void CheckResources(const Setup& setup);
// The main dialog's windows, its system menu and the About box; ends with "OK".
void CheckDialogs(const Setup& setup);
// Runs from "テスト開始", with and without link.htm, and clicks during a run.
void CheckTestRuns(const Setup& setup);
// Every way of closing the main dialog ends the program without a run.
void CheckClosing(const Setup& setup);
// Without QUILLON.dll the program does not start; its one import from it is the export.
void CheckMissingLibrary(const Setup& setup);

// The test build (MARLIP_TEST.EXE): the framework's start-up is done before the application
// object is made, and strings that cannot be made inside handlers go to the framework's box.
void CheckTestBuild(const Setup& setup);

// Whether one of the static controls of message box `box` shows `text`.
bool Shows(HWND box, const std::wstring& text);
// Waits for the library's box `expected`, checks it and answers it with button `answer`;
// false when it did not come or did not go.
bool AnswerBox(Program& marlip, Inside& inside, const cases::Box& expected, int answer);

}  // namespace driver
