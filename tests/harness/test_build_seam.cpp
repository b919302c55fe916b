// Linked into the test build of MARLIP (MARLIP_TEST.EXE) only, never into MARLIP.EXE: what the
// driver needs from inside the program, reached through marlip_window_report.dll.
#include <mbctype.h>

#include <cstdio>
#include <cstdlib>

#include "framework/string_heap.h"
#include "framework/win_app.h"

namespace {

struct SeenAtStartup {
  int code_page;
  DWORD version;
  bool app_made;
};
SeenAtStartup seen_at_startup = {};

// Plays whatever runs before the framework's start-up: it leaves another code page than the
// ANSI one, so that the start-up is seen to set it rather than find it set. A C initialiser
// of the run-time's (section .CRT$XIU) runs before every C++ static object.
void SetOtherCodePage() {
  _setmbcp(1252);
}
__attribute__((section(".CRT$XIU"), used)) void (*set_other_code_page)() = &SetOtherCodePage;

// The last priority before the ordinary static objects, the application object among them.
struct StartupWitness {
  StartupWitness() noexcept {
    seen_at_startup = {_getmbcp(), AfxGetModuleVersion(), AfxGetApp() != nullptr};
  }
};
__attribute__((init_priority(65534))) StartupWitness startup_witness;

// MARLIP_FAIL_STRINGS_AFTER=N: string allocations fail from the (N+1)th on, from the start.
struct FailureFromEnvironment {
  FailureFromEnvironment() noexcept {
    char count[16] = {};
    if (GetEnvironmentVariableA("MARLIP_FAIL_STRINGS_AFTER", count, sizeof count) > 0) {
      FailStringAllocationsAfter(std::atol(count));
    }
  }
};
FailureFromEnvironment failure_from_environment;

}  // namespace

extern "C" __declspec(dllexport) void MarlipFailStringAllocationsAfter(long successes) {
  FailStringAllocationsAfter(successes);
}

// "key=value" lines for the window report.
extern "C" __declspec(dllexport) void MarlipTestReport(char* buffer, int size) {
  std::snprintf(buffer, static_cast<std::size_t>(size),
                "startup_code_page=%d\nstartup_version=0x%lX\nstartup_app_made=%d\n"
                "live_string_blocks=%ld\n",
                seen_at_startup.code_page, seen_at_startup.version, seen_at_startup.app_made,
                LiveStringBlocks());
}
