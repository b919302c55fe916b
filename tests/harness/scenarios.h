#pragma once
// The driver's scenarios. Each starts MARLIP.EXE as often as it needs and records its checks.
#include <string>

namespace driver {

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

}  // namespace driver
