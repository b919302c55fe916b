// Starting a program and waiting for it, checked with a child that writes down its arguments.
#include "library/help_launcher.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/settings/scratch_directory.h"
#include "tests/settings/test_seams.h"

namespace quillon_test {
namespace {

#ifdef _WIN32
constexpr char kChildName[] = "argv_echo.exe";
#else
constexpr char kChildName[] = "argv_echo";
#endif

using HelpLauncherTest = ScratchDirectoryTest;

// The child sees exactly two arguments, the program and the argument unchanged; the result
// is its exit code (the number in the argument).
TEST_F(HelpLauncherTest, RunProgramPassesTwoArgumentsAndReturnsExitCode) {
  const std::string child = OwnDirectory() + kChildName;
  struct Case {
    const char* argument;
    int exit_code;
  } const cases[] = {{" 42", 42}, {"7", 7}, {" vantrel.hlp", 0}, {"", 0}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.argument);
    EXPECT_EQ(quillon::RunProgram(child.c_str(), test.argument), test.exit_code);
#ifdef _WIN32
    // The run-time joins the two with one space into the command line, which the child's
    // start-up splits again: spaces around the argument do not survive that.
    EXPECT_EQ(ReadFile("argv.txt").substr(ReadFile("argv.txt").find('{')),
              "{" + child + " " + test.argument + "}\n");
#else
    EXPECT_EQ(ReadFile("argv.txt"), "2\n[" + child + "]\n[" + test.argument + "]\n");
#endif
  }
}

TEST_F(HelpLauncherTest, RunProgramGivesMinusOneWhenNothingToStart) {
  BoxRecorder recorder;
  for (const char* program : {"no-such-program.exe", "c:\\windows\\no-such-help.exe"}) {
    SCOPED_TRACE(program);
    EXPECT_EQ(quillon::RunProgram(program, " vantrel.hlp"), -1);
  }
  EXPECT_TRUE(recorder.boxes().empty());
}

// On Linux the fixed Windows path names nothing, so the help program cannot start. A Wine
// prefix has a help program there, which starts (and, with no display, ends at once).
TEST_F(HelpLauncherTest, ShowHelpWithoutHelpProgramGivesMinusOneSilently) {
  if (std::filesystem::exists(quillon::kHelpProgram)) GTEST_SKIP() << "a help program exists";
  BoxRecorder recorder;
  EXPECT_EQ(quillon::ShowHelp(), -1);
  EXPECT_TRUE(recorder.boxes().empty());
}

}  // namespace
}  // namespace quillon_test
