// Drives MARLIP.EXE under Wine through its real windows.
//   marlip_driver MARLIP.EXE
//   marlip_driver --test-build MARLIP_TEST.EXE
// Works in its current folder. Exit code 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tests/harness/expect.h"
#include "tests/harness/probe.h"
#include "tests/harness/scenarios.h"

int main(int argc, char** argv) {
  bool test_build = argc == 3 && std::strcmp(argv[1], "--test-build") == 0;
  if (argc != 2 && !test_build) {
    std::printf("usage: marlip_driver MARLIP.EXE | --test-build MARLIP_TEST.EXE\n");
    return 2;
  }
  // The dialogs' texts travel as code page 932 bytes inside MARLIP.
  if (!EXPECT_EQ(932u, GetACP())) return 1;
  wchar_t here[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, here);
  driver::Setup setup{driver::WindowsPath(argv[argc - 1]), here};

  if (test_build) {
    driver::CheckTestBuild(setup);
  } else {
    driver::CheckResources(setup);
    driver::CheckDialogs(setup);
    driver::CheckTestRuns(setup);
    driver::CheckClosing(setup);
    driver::CheckMissingLibrary(setup);
  }

  std::printf("%d checks, %d failed\n", driver::CheckCount(), driver::FailureCount());
  return driver::FailureCount() == 0 ? 0 : 1;
}
