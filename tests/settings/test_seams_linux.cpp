#include <climits>
#include <unistd.h>

#include "tests/settings/test_seams.h"

namespace quillon_test {

std::string OwnDirectory() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "./";
  std::string own(path, static_cast<size_t>(length));
  return own.substr(0, own.rfind('/') + 1);
}

}  // namespace quillon_test
