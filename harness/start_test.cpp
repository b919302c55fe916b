// The test command of the main dialog.
#include "framework/cstring.h"
#include "harness/harness_dialog.h"
#include "library/quillon.h"

namespace {

constexpr char kInputFile[] = "link.htm";
constexpr char kOutputFile[] = "out.txt";
constexpr char kExcludedKeyword[] = "yahoo";
constexpr char kNoKeyword[] = "";

// The library serves one run at a time, and its message boxes keep this thread's windows
// working: set while a run is in progress.
bool run_in_progress = false;

class RunInProgress {
 public:
  RunInProgress() noexcept { run_in_progress = true; }
  ~RunInProgress() { run_in_progress = false; }
  RunInProgress(const RunInProgress&) = delete;
  RunInProgress& operator=(const RunInProgress&) = delete;
};

}  // namespace

void CHarnessDialog::OnStartTest() {
  if (run_in_progress) return;
  RunInProgress guard;
  // All eight first: if one cannot be built, those already built are released here.
  CString input(kInputFile);
  CString output(kOutputFile);
  CString keyword1(kExcludedKeyword);
  CString keyword2(kNoKeyword);
  CString keyword3(kNoKeyword);
  CString keyword4(kNoKeyword);
  CString keyword5(kNoKeyword);
  CString keyword6(kNoKeyword);
  // From here on the library owns them.
  BEGIN_SEARCH_ADD(QuillonString{input.Detach()}, QuillonString{output.Detach()},
                   QuillonString{keyword1.Detach()}, QuillonString{keyword2.Detach()},
                   QuillonString{keyword3.Detach()}, QuillonString{keyword4.Detach()},
                   QuillonString{keyword5.Detach()}, QuillonString{keyword6.Detach()});
}
