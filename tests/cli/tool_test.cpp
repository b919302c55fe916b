// The quillon tool as a user runs it: standard error, exit status and the file it writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/tool_run.h"
#include "tests/support/linux_test_support.h"

namespace {

using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;
using tool_testing::LargePage;
using tool_testing::Result;
using tool_testing::RunScript;
using tool_testing::RunTool;
using tool_testing::Utf8;

const std::string kOpening = Utf8(u8"[ERROR] アドレスの取得を開始します。\n");

TEST(ToolTest, RunWritesAddressesAndShowsOnlyTheOpeningNotice) {
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"),
            "<A HREF=\"http://a.example/x.html\">a</A><a href=\"http://www.yahoo.co.jp/\">y</a>");
  Result result = RunTool(folder, "page.htm out.txt yahoo");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, kOpening);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(ReadFile(folder.Path("out.txt")), "http://a.example/x.html\r\n");
}

TEST(ToolTest, QuietLeavesOutOnlyTheOpeningNotice) {
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"), "");
  Result quiet_ok = RunTool(folder, "-q page.htm out.txt");
  EXPECT_EQ(quiet_ok.status, 0);
  EXPECT_EQ(quiet_ok.err, "");
  Result quiet_missing = RunTool(folder, "--quiet missing.htm out.txt");
  EXPECT_EQ(quiet_missing.status, 1);
  EXPECT_EQ(quiet_missing.err, Utf8(u8"[エラーです。] ファイルが存在しません。\n"));
}

TEST(ToolTest, EveryOtherBoxBecomesAUtf8LineAndExitStatusOne) {
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"),
            "<a href=\"http://1.example/\"><a href=\"http://2.example/\">");
  std::filesystem::create_directory(folder.Path("dir"));
  struct {
    std::string arguments, err;
  } const cases[] = {
      {"missing.htm out.txt", kOpening + Utf8(u8"[エラーです。] ファイルが存在しません。\n")},
      {"page.htm dir", kOpening + Utf8(u8"[ERROR] 書出しファイルが開けない\n")},
      {"page.htm /dev/full", kOpening + "[ERROR] errno\n[ERROR] errno\n"},
  };
  for (const auto& c : cases) {
    Result result = RunTool(folder, c.arguments);
    EXPECT_EQ(result.status, 1) << c.arguments;
    EXPECT_EQ(result.err, c.err) << c.arguments;
  }
  EXPECT_TRUE(testing_support::FileExists(folder.Path("out.txt")));
  EXPECT_EQ(ReadFile(folder.Path("out.txt")), "");
}

TEST(ToolTest, UsageErrorsRunNothing) {
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"), "<a href=\"http://1.example/\">");
  for (const char* arguments :
       {"", "page.htm", "-z page.htm out.txt", "page.htm out.txt 1 2 3 4 5 6 7", "--each",
        "--each --files0-from=- out.txt", "-x k page.htm out.txt"}) {
    Result result = RunTool(folder, arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.err.find("Usage: quillon"), std::string::npos) << arguments;
    EXPECT_FALSE(testing_support::FileExists(folder.Path("out.txt"))) << arguments;
  }
}

TEST(ToolTest, HelpAndVersion) {
  ScratchFolder folder;
  Result help = RunTool(folder, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  Result version = RunTool(folder, "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "quillon 1.0.0.1\n");
}

TEST(ToolTest, PipesAndStandardStreamsGiveTheBytesOfAFileRun) {
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"), LargePage());
  ASSERT_EQ(RunTool(folder, "-q page.htm expected.txt yahoo").status, 0);
  std::string expected = ReadFile(folder.Path("expected.txt"));
  ASSERT_GT(expected.size(), 64u * 1024u);
  struct {
    const char* script;
    const char* output;  // nullptr: standard output
  } const cases[] = {
      {"cat page.htm | quillon -q - - yahoo | cat", nullptr},
      {"quillon -q - - yahoo < page.htm", nullptr},
      {"cat page.htm | quillon -q /dev/stdin out.txt yahoo", "out.txt"},
      {"quillon -q <(cat page.htm) out.txt yahoo", "out.txt"},
      {"quillon -q page.htm - yahoo > out.txt", "out.txt"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(folder.Path("out.txt"));
    Result result = RunScript(folder, c.script);
    EXPECT_EQ(result.status, 0) << c.script;
    EXPECT_EQ(result.err, "") << c.script;
    EXPECT_TRUE((c.output ? ReadFile(folder.Path(c.output)) : result.out) == expected) << c.script;
  }
  // Messages stay on standard error while the records go to standard output.
  Result noisy = RunScript(folder, "quillon - - yahoo < page.htm");
  EXPECT_EQ(noisy.err, kOpening);
  EXPECT_TRUE(noisy.out == expected);
}

TEST(ToolTest, OutputThatIsTheInputIsRefusedAndTouchesNothing) {
  ScratchFolder folder;
  const std::string page = "<a href=\"http://a.example/\">";
  WriteFile(folder.Path("page.htm"), page);
  std::filesystem::create_symlink("page.htm", folder.Path("symbolic.htm"));
  std::filesystem::create_hard_link(folder.Path("page.htm"), folder.Path("hard.htm"));
  for (const char* arguments : {"page.htm page.htm", "page.htm ./page.htm", "page.htm symbolic.htm",
                                "symbolic.htm hard.htm"}) {
    Result result = RunTool(folder, arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.err.find("is the same file as"), std::string::npos) << arguments;
    EXPECT_EQ(ReadFile(folder.Path("page.htm")), page) << arguments;
  }
}

TEST(ToolTest, FailingStandardStreamsAreReportedWithExitStatusOne) {
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"), "<a href=\"http://a.example/\">");
  struct {
    const char* script;
    const char* err;
  } const cases[] = {
      {"quillon -q page.htm - > /dev/full", "quillon: standard output: write error: "},
      {"quillon -q - out.txt <&-", "quillon: standard input: read error: "},
  };
  for (const auto& c : cases) {
    Result result = RunScript(folder, c.script);
    EXPECT_EQ(result.status, 1) << c.script;
    EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << c.script << ": " << result.err;
  }
  EXPECT_FALSE(testing_support::FileExists(folder.Path("out.txt")));
}

TEST(ToolTest, SixKeywordsAllTakePart) {
  ScratchFolder folder;
  std::string page;
  for (const char* host : {"k1", "k2", "k3", "k4", "k5", "k6", "kept"}) {
    page += std::string("<a href=\"http://") + host + ".example/\">";
  }
  WriteFile(folder.Path("page.htm"), page);
  Result result = RunTool(folder, "-q page.htm out.txt k1. k2. k3. k4. k5. k6.");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(ReadFile(folder.Path("out.txt")), "http://kept.example/\r\n");
}

}  // namespace
