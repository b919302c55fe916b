// The real tool with a heap that runs out after N allocations, for every N up to what a whole
// run takes: each run ends with "quillon: memory exhausted" and exit status 1, or succeeds
// with all of its output; never a signal, never success with output cut short.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <tuple>

#include "tests/support/linux_test_support.h"

namespace {

using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

TEST(MemoryExhaustionTest, EveryFailingAllocationEndsInTheMessageOrACompleteRun) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer owns the heap of the tool it builds";
#endif
  ScratchFolder folder;
  const std::string page =
      "<a href=\"http://one.example/\"><A HREF=\"http://yahoo.example\">"
      "<p><a href=\"http://two.example/t.html\">";
  WriteFile(folder.Path("a.htm"), page);
  WriteFile(folder.Path("b.htm"), page + page);
  WriteFile(folder.Path("names"), std::string("a.htm\0b.htm", 11));
  // Each form's command line, and what it writes besides standard output.
  const std::pair<std::string, std::string> cases[] = {
      {"a.htm a.txt yahoo", "a.txt"},
      {"--each -x yahoo a.htm b.htm", "a.htm.links b.htm.links"},
      {"--list -q --files0-from names", ""},
  };
  for (const auto& [arguments, files] : cases) {
    // Through sh, which starts faster than bash: one run for each allocation.
    auto run = [&](const std::string& setting) {
      const std::string command = "cd '" + folder.path() + "' && rm -f " + files + " && " +
                                  setting + " LD_PRELOAD='" FAILING_HEAP "' '" QUILLON_TOOL "' " +
                                  arguments + " > out 2> err && cat /dev/null " + files + " >> out";
      const int raw = std::system(command.c_str());
      return std::tuple{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(folder.Path("out")),
                        ReadFile(folder.Path("err"))};
    };
    const auto [whole, complete, whole_err] = run("QUILLON_ALLOCATIONS_COUNTED=counted");
    ASSERT_EQ(whole, 0) << arguments << ": " << whole_err;
    ASSERT_NE(complete.find("two.example"), std::string::npos) << arguments;
    const long allocations = std::stol(ReadFile(folder.Path("counted")));
    int exhausted = 0;
    for (long n = 0; n <= allocations; ++n) {
      const auto [status, written, err] = run("QUILLON_ALLOCATIONS_LEFT=" + std::to_string(n));
      if (status == 1 && err.ends_with("quillon: memory exhausted\n")) {
        ++exhausted;
        continue;
      }
      ASSERT_EQ(status, 0) << arguments << ", " << n << " allocations: " << err;
      ASSERT_EQ(written, complete) << arguments << ", " << n << " allocations";
    }
    EXPECT_GT(exhausted, 0) << arguments << ": " << allocations << " allocations";
  }
}

}  // namespace
