// "テスト開始": runs on link.htm into out.txt, a missing input, and clicks during a run.
#include <windows.h>

#include <vector>

#include "tests/cases/extraction_cases.h"
#include "tests/harness/expect.h"
#include "tests/harness/probe.h"
#include "tests/harness/scenarios.h"
#include "tests/harness/texts.h"

namespace driver {

bool Shows(HWND box, const std::wstring& text) {
  for (HWND child : ChildrenOf(box)) {
    if (ClassOf(child) == L"Static" && TextOf(child) == text) return true;
  }
  return false;
}

bool AnswerBox(Program& marlip, Inside& inside, const cases::Box& expected, int answer) {
  std::wstring caption = Widen(expected.caption, 932);
  HWND box = WaitForWindow(marlip.id(), caption, 20000);
  if (box == nullptr) {
    std::string seen;
    for (HWND window : TopLevelWindows(marlip.id())) seen += " \"" + Narrow(TextOf(window)) + "\"";
    Expect(false, __FILE__, __LINE__, "box appears: " + Narrow(caption),
           "windows:" + seen + ", exit code " + Hex(marlip.WaitForExit(0)));
    return false;
  }
  Expect(Shows(box, Widen(expected.text, 932)), __FILE__, __LINE__,
         "box text: " + Narrow(Widen(expected.text, 932)));
  // No owner: the main dialog stays usable.
  EXPECT_EQ(static_cast<HWND>(nullptr), GetWindow(box, GW_OWNER));
  Click(GetDlgItem(box, answer));
  bool gone = Expect(WaitUntilGone(box, 20000), __FILE__, __LINE__, "box closes when answered");
  // The run goes on until its next box or its end.
  inside.Ask();
  return gone;
}

namespace {

void ExpectUnchanged(HWND dialog) {
  EXPECT_EQ(std::wstring(kMainCaption), TextOf(dialog));
  EXPECT_TRUE(IsWindowEnabled(dialog));
  EXPECT_EQ(std::wstring(L"OK"), TextOf(GetDlgItem(dialog, IDOK)));
  EXPECT_EQ(std::wstring(L"ｷｬﾝｾﾙ"), TextOf(GetDlgItem(dialog, IDCANCEL)));
  EXPECT_EQ(std::wstring(L"テスト開始"), TextOf(GetDlgItem(dialog, 1000)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1000)));
}

// The cases whose keywords are the harness's own.
std::vector<const cases::ExtractionCase*> HarnessCases() {
  const std::array<std::string, 6> harness_keywords = {"yahoo", "", "", "", "", ""};
  std::vector<const cases::ExtractionCase*> chosen;
  for (const cases::ExtractionCase& c : cases::ExtractionCases()) {
    if (c.keywords == harness_keywords && c.boxes == cases::OpeningOnly()) chosen.push_back(&c);
  }
  return chosen;
}

}  // namespace

void CheckTestRuns(const Setup& setup) {
  std::wstring folder = setup.scratch + L"\\runs";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring link = folder + L"\\link.htm";
  std::wstring out = folder + L"\\out.txt";
  const cases::Box opening = cases::OpeningOnly().front();

  Program marlip(setup.marlip, folder);
  if (!EXPECT_TRUE(marlip.started())) return;
  HWND dialog = WaitForWindow(marlip.id(), kMainCaption, 60000);
  if (!EXPECT_TRUE(dialog != nullptr)) return;
  Inside inside(dialog, folder);
  if (!EXPECT_TRUE(inside.hooked())) return;
  inside.Ask();
  HWND start = GetDlgItem(dialog, 1000);

  std::vector<const cases::ExtractionCase*> runs = HarnessCases();
  Expect(runs.size() >= 3, __FILE__, __LINE__, "enough shared cases with the keyword yahoo",
         std::to_string(runs.size()));
  bool first = true;
  for (const cases::ExtractionCase* c : runs) {
    WriteFileBytes(link, c->page);
    WriteFileBytes(out, "left over from before");
    Click(start);
    HWND box = WaitForWindow(marlip.id(), Widen(opening.caption, 932), 20000);
    if (first && box != nullptr) {
      // While the box is open the dialog still takes clicks; they start nothing.
      EXPECT_TRUE(IsWindowEnabled(dialog));
      Click(start);
      Click(start);
      inside.Ask();
      EXPECT_EQ(std::size_t{1},
                WindowsWithCaption(marlip.id(), Widen(opening.caption, 932)).size());
    }
    // Yes and No lead to the same.
    if (!AnswerBox(marlip, inside, opening, first ? IDYES : IDNO)) return;
    Expect(TopLevelWindows(marlip.id()).size() == 1, __FILE__, __LINE__,
           "no box after the run: " + c->name);
    Expect(ReadFileBytes(out) == c->output, __FILE__, __LINE__, "out.txt of case " + c->name,
           "got \"" + ReadFileBytes(out) + "\"");
    ExpectUnchanged(dialog);
    first = false;
  }

  // No link.htm: both boxes, an empty out.txt, and the next click runs again from the start.
  DeleteFileW(link.c_str());
  WriteFileBytes(out, "left over from before");
  for (int round = 0; round < 2; ++round) {
    Click(start);
    if (!AnswerBox(marlip, inside, opening, IDYES)) return;
    cases::Box missing{"エラーです。", "ファイルが存在しません。"};
    if (!AnswerBox(marlip, inside, missing, IDYES)) return;
    EXPECT_EQ(std::string(), ReadFileBytes(out));
    ExpectUnchanged(dialog);
  }

  PressKey(GetDlgItem(dialog, IDOK), VK_ESCAPE);
  EXPECT_EQ(DWORD{0}, marlip.WaitForExit(20000));
}

}  // namespace driver
