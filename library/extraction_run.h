#pragma once
// One extraction run: open the output and input files, scan the input for anchors, close.
#include "framework/cstring.h"

namespace quillon {

// The eight arguments of a run, owned by it. They are released in argument order (input
// first, keyword 6 last) when the run is over, however it ends.
struct RunArguments {
  CString input;
  CString output;
  CString keywords[6];

  ~RunArguments() {
    input.Empty();
    output.Empty();
    for (CString& keyword : keywords) keyword.Empty();
  }
};

// Performs the run. When memory runs out inside it, the run ends there: the records found so
// far are written, both files closed, and one box says what happened.
void RunExtraction(const RunArguments& arguments);

}  // namespace quillon
