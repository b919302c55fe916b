#include <windows.h>

#include "tests/settings/test_seams.h"

namespace quillon_test {

std::string OwnDirectory() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string own(path, length);
  return own.substr(0, own.find_last_of("\\/") + 1);
}

}  // namespace quillon_test
