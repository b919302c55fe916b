#pragma once
// Runs the real quillon tool the way a user does, for the tool's tests.
#include <string>

#include "tests/support/linux_test_support.h"

namespace tool_testing {

struct Result {
  int status;  // -1: ended by a signal
  std::string out;
  std::string err;
};

// Runs the bash `script` in `folder`, where "quillon" is the tool; standard input is empty.
Result RunScript(const testing_support::ScratchFolder& folder, const std::string& script);

// Runs the tool in `folder` with `arguments` (already quoted for the shell).
inline Result RunTool(const testing_support::ScratchFolder& folder, const std::string& arguments) {
  return RunScript(folder, "quillon " + arguments);
}

// Expected lines are UTF-8 whatever the build's character set.
inline std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

// A page far larger than the tool's read block and copy buffer, anchors all the way through,
// every third one holding "yahoo".
std::string LargePage();

}  // namespace tool_testing
