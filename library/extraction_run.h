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

// Performs the run. Allocation failures (CMemoryException) pass through to the caller with
// the files still open; AbandonRun then closes them.
void RunExtraction(const RunArguments& arguments);

// After a run ended by an exception: writes what is pending and closes both files, reporting
// nothing. Never throws.
void AbandonRun() noexcept;

}  // namespace quillon
