// The real tool with a heap that runs out after N allocations, for every N up to what a whole
// run takes: each run ends with "quillon: memory exhausted" and exit status 1, or succeeds
// with all of its output; never a signal, never success with output cut short.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>

#include "tests/support/linux_test_support.h"

extern char** environ;

namespace {

using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

constexpr char kExhausted[] = "quillon: memory exhausted\n";

struct Outcome {
  bool exited;
  int status;
  std::string out, err;
};

// Runs the tool with `arguments` under the failing heap and the extra `settings`.
Outcome RunTool(const ScratchFolder& folder, const std::vector<std::string>& arguments,
                const std::vector<std::string>& settings) {
  std::vector<std::string> environment = settings;
  environment.push_back("LD_PRELOAD=" FAILING_HEAP);
  for (char** entry = environ; *entry != nullptr; ++entry) environment.push_back(*entry);
  std::vector<char*> envp, argv{const_cast<char*>(QUILLON_TOOL)};
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::string out = folder.Path("tool.out"), err = folder.Path("tool.err");
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child;
  int raw = 0;
  bool started =
      posix_spawn(&child, QUILLON_TOOL, &actions, nullptr, argv.data(), envp.data()) == 0 &&
      waitpid(child, &raw, 0) == child;
  posix_spawn_file_actions_destroy(&actions);
  if (!started) throw std::runtime_error("cannot run " QUILLON_TOOL);
  return Outcome{WIFEXITED(raw), WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw), ReadFile(out),
                 ReadFile(err)};
}

// What a run writes: its standard output and the files it makes.
std::string Written(const ScratchFolder& folder, const Outcome& outcome,
                    const std::vector<std::string>& files) {
  std::string all = outcome.out;
  for (const std::string& file : files) all += "|" + ReadFile(folder.Path(file));
  return all;
}

TEST(MemoryExhaustionTest, EveryFailingAllocationEndsInTheMessageOrACompleteRun) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer owns the heap of the tool it builds";
#endif
  ScratchFolder folder;
  const std::string page =
      "<a href=\"http://one.example/\">1</a><A HREF=\"http://yahoo.example\"><p>"
      "<a href=\"http://two.example/t.html\">";
  WriteFile(folder.Path("a.htm"), page);
  WriteFile(folder.Path("b.htm"), page + page);
  WriteFile(folder.Path("names"), folder.Path("a.htm") + '\0' + folder.Path("b.htm"));
  struct {
    const char* form;
    std::vector<std::string> arguments;
    std::vector<std::string> files;  // besides standard output
  } const cases[] = {
      {"--each",
       {"--each", "-x", "yahoo", folder.Path("a.htm"), folder.Path("b.htm")},
       {"a.htm.links", "b.htm.links"}},
      {"--list", {"--list", "-q", "--files0-from", folder.Path("names")}, {}},
      {"classic", {folder.Path("a.htm"), folder.Path("a.txt"), "yahoo"}, {"a.txt"}},
  };
  const std::string counted = folder.Path("counted");
  for (const auto& c : cases) {
    Outcome whole = RunTool(folder, c.arguments, {"QUILLON_ALLOCATIONS_COUNTED=" + counted});
    ASSERT_TRUE(whole.exited && whole.status == 0) << c.form << ": " << whole.err;
    const std::string complete = Written(folder, whole, c.files);
    ASSERT_NE(complete.find("two.example"), std::string::npos) << c.form;
    const long allocations = std::stol(ReadFile(counted));
    int exhausted = 0;
    for (long n = 0; n <= allocations; ++n) {
      for (const std::string& file : c.files) std::remove(folder.Path(file).c_str());
      Outcome run = RunTool(folder, c.arguments, {"QUILLON_ALLOCATIONS_LEFT=" + std::to_string(n)});
      ASSERT_TRUE(run.exited) << c.form << ", " << n << " allocations: signal " << -run.status;
      if (run.status == 1 && run.err.ends_with(kExhausted)) {
        ++exhausted;
      } else {
        ASSERT_EQ(run.status, 0) << c.form << ", " << n << " allocations: " << run.err;
        ASSERT_EQ(Written(folder, run, c.files), complete) << c.form << ", " << n;
      }
    }
    EXPECT_GT(exhausted, 0) << c.form << ": " << allocations << " allocations";
  }
}

}  // namespace
