#pragma once
// The one seam between the run-time stand-in and the operating system, so that tests can
// make reads, writes or seeks fail on purpose.
#include <sys/stat.h>
#include <sys/types.h>

namespace crt {

struct SystemCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*read)(int fd, void* buffer, size_t count);
  ssize_t (*write)(int fd, const void* buffer, size_t count);
  off_t (*lseek)(int fd, off_t offset, int whence);
  int (*close)(int fd);
  int (*fstat)(int fd, struct stat* status);
  int (*ftruncate)(int fd, off_t length);
};

// The table in use; starts out as the real POSIX calls. Tests may replace entries and must
// put the real ones back (RealSystemCalls()).
SystemCalls& Sys();
const SystemCalls& RealSystemCalls();

}  // namespace crt
