// The test build: the framework's start-up, and string allocations failing inside handlers.
#include <windows.h>

#include "tests/cases/run_boxes.h"
#include "tests/harness/expect.h"
#include "tests/harness/probe.h"
#include "tests/harness/scenarios.h"
#include "tests/harness/texts.h"

namespace driver {

namespace {

constexpr char kPage[] = "<a href=\"http://example.com/\">x</a>";
constexpr char kAddresses[] = "http://example.com/\r\n";

// The value of line "key=..." of a window report, or "<none>".
std::string Value(const std::string& report, const std::string& key) {
  std::string lines = "\n" + report;
  std::size_t at = lines.find("\n" + key + "=");
  if (at == std::string::npos) return "<none>";
  at += key.size() + 2;
  return lines.substr(at, lines.find('\n', at) - at);
}

// Waits for the framework's out-of-memory box, checks that the main dialog owns it, and
// closes it.
bool AnswerOutOfMemoryBox(Program& marlip, const std::string& when) {
  HWND box = WaitForWindow(marlip.id(), kTestBuildCaption, 60000);
  if (!Expect(box != nullptr, __FILE__, __LINE__, "out-of-memory box " + when)) return false;
  Expect(Shows(box, kOutOfMemoryText), __FILE__, __LINE__, "out-of-memory text " + when);
  Expect(TextOf(GetWindow(box, GW_OWNER)) == kMainCaption, __FILE__, __LINE__,
         "the main dialog owns the box " + when);
  Click(GetDlgItem(box, IDOK));
  return Expect(WaitUntilGone(box), __FILE__, __LINE__, "out-of-memory box closes " + when);
}

// Allocations work again, and a click runs the library as usual.
void ExpectWorkingRun(Program& marlip, Inside& inside, HWND dialog, const std::wstring& folder,
                      const std::string& when) {
  inside.FailStringAllocationsAfter(-1);
  std::wstring out = folder + L"\\out.txt";
  DeleteFileW(out.c_str());
  Click(GetDlgItem(dialog, 1000));
  if (!AnswerBox(marlip, inside, cases::kOpening, IDYES)) return;
  Expect(ReadFileBytes(out) == kAddresses, __FILE__, __LINE__, "a later run works " + when,
         ReadFileBytes(out));
}

void CheckFailuresInStartTest(const Setup& setup, const std::wstring& folder) {
  Program marlip(setup.marlip, folder);
  HWND dialog = WaitForWindow(marlip.id(), kMainCaption, 60000);
  if (!EXPECT_TRUE(dialog != nullptr)) return;
  Inside inside(dialog, folder);
  if (!EXPECT_TRUE(inside.hooked())) return;
  std::string report = inside.Ask();

  // What the framework's start-up had done when the application object was about to be made
  // (the test build changes the code page before the start-up runs).
  EXPECT_EQ(std::string("932"), Value(report, "startup_code_page"));
  EXPECT_EQ(std::string("0x400"), Value(report, "startup_version"));
  EXPECT_EQ(std::string("0"), Value(report, "startup_app_made"));

  // Only the three arguments that are not empty take a block: each in turn cannot be had.
  const struct {
    long successes;
    const char* failing;
  } cases[] = {{0, "input file"}, {1, "output file"}, {2, "keyword yahoo"}};
  std::wstring out = folder + L"\\out.txt";
  for (const auto& c : cases) {
    std::string when = std::string("when the ") + c.failing + " string cannot be made";
    DeleteFileW(out.c_str());
    // The blocks of earlier runs' arguments count here although the library freed them.
    std::string before = Value(inside.Ask(), "live_string_blocks");
    inside.FailStringAllocationsAfter(c.successes);
    Click(GetDlgItem(dialog, 1000));
    if (!AnswerOutOfMemoryBox(marlip, when)) return;
    report = inside.Ask();
    // Every run of the library shows its opening box and creates out.txt.
    Expect(TopLevelWindows(marlip.id()).size() == 1 && ReadFileBytes(out) == "<missing>", __FILE__,
           __LINE__, "the library is not called " + when);
    Expect(Value(report, "live_string_blocks") == before, __FILE__, __LINE__,
           "the strings made are released " + when,
           Value(report, "live_string_blocks") + " blocks, " + before + " before");
    ExpectWorkingRun(marlip, inside, dialog, folder, when);
  }
  Click(GetDlgItem(dialog, IDOK));
  EXPECT_EQ(DWORD{0}, marlip.WaitForExit(20000));
}

void CheckFailuresInInitDialog(const Setup& setup, const std::wstring& folder) {
  const struct {
    const wchar_t* successes;
    const char* failing;
  } cases[] = {{L"0", "buffer"}, {L"1", "string"}};
  for (const auto& c : cases) {
    std::string when = std::string("when LoadString's ") + c.failing + " cannot be made";
    SetEnvironmentVariableW(L"MARLIP_FAIL_STRINGS_AFTER", c.successes);
    Program marlip(setup.marlip, folder);
    SetEnvironmentVariableW(L"MARLIP_FAIL_STRINGS_AFTER", nullptr);
    if (!AnswerOutOfMemoryBox(marlip, when)) continue;
    HWND dialog = WaitForWindow(marlip.id(), kMainCaption, 20000);
    if (!Expect(dialog != nullptr, __FILE__, __LINE__, "the dialog comes up " + when)) continue;
    Inside inside(dialog, folder);
    std::string report = inside.Ask();
    // OnInitDialog ended at the failure: the system menu has no About entry.
    Expect(Value(report, "last_id") != "16", __FILE__, __LINE__, "no About entry " + when, report);
    Expect(Value(report, "live_string_blocks") == "0", __FILE__, __LINE__, "no string left " + when,
           report);
    ExpectWorkingRun(marlip, inside, dialog, folder, when);
    Click(GetDlgItem(dialog, IDOK));
    Expect(marlip.WaitForExit(20000) == 0, __FILE__, __LINE__, "ends by OK " + when);
  }
}

}  // namespace

void CheckTestBuild(const Setup& setup) {
  std::wstring folder = setup.scratch + L"\\test_build";
  CreateDirectoryW(folder.c_str(), nullptr);
  WriteFileBytes(folder + L"\\link.htm", kPage);
  CheckFailuresInStartTest(setup, folder);
  CheckFailuresInInitDialog(setup, folder);
}

}  // namespace driver
