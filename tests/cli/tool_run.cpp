#include "tests/cli/tool_run.h"

#include <sys/wait.h>

#include <cstdlib>

namespace tool_testing {

using testing_support::ReadFile;
using testing_support::WriteFile;

Result RunScript(const testing_support::ScratchFolder& folder, const std::string& script) {
  WriteFile(folder.Path("script.sh"), "quillon() { '" QUILLON_TOOL "' \"$@\"; }\n" + script);
  std::string command =
      "cd '" + folder.path() + "' && bash script.sh > tool.out 2> tool.err < /dev/null";
  int raw = std::system(command.c_str());
  return Result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(folder.Path("tool.out")),
                ReadFile(folder.Path("tool.err"))};
}

std::string LargePage() {
  std::string page;
  for (int i = 0; i < 9000; ++i) {
    page += "<p>filler " + std::to_string(i) + "</p><a href=\"http://h" + std::to_string(i) +
            (i % 3 == 0 ? ".yahoo.example/\">" : ".example/p.htm\">");
  }
  return page;
}

}  // namespace tool_testing
