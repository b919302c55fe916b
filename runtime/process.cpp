#include "runtime/process.h"

#include <cerrno>
#include <cstdarg>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace crt {

intptr_t _spawnl(int mode, const char* path, const char* arg0, ...) {
  std::vector<char*> argv{const_cast<char*>(arg0)};
  va_list rest;
  va_start(rest, arg0);
  while (argv.back() != nullptr) argv.push_back(va_arg(rest, char*));
  va_end(rest);
  if (mode != _P_WAIT) {
    errno = EINVAL;
    return -1;
  }
  pid_t child;
  // glibc's posix_spawn reports a failed exec as its own error, so a missing program is -1
  // here rather than a child that exits with 127.
  if (int error = posix_spawn(&child, path, nullptr, nullptr, argv.data(), environ); error != 0) {
    errno = error;
    return -1;
  }
  int status = 0;
  while (waitpid(child, &status, 0) == -1) {
    if (errno != EINTR) return -1;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

}  // namespace crt
