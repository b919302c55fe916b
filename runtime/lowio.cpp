#include "runtime/lowio.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/system_calls.h"

namespace crt {

int _open(const char* path, int flags, int permission) {
  int posix_flags = (flags & _O_RDWR) ? O_RDWR : (flags & _O_WRONLY) ? O_WRONLY : O_RDONLY;
  if (flags & _O_APPEND) posix_flags |= O_APPEND;
  if (flags & _O_CREAT) posix_flags |= O_CREAT;
  if (flags & _O_TRUNC) posix_flags |= O_TRUNC;
  if (flags & _O_EXCL) posix_flags |= O_EXCL;
  posix_flags |= O_CLOEXEC;
  // A file without any write permission is read-only for everyone, as the read-only attribute
  // is on Windows; the super-user must not write it either. Checked before _O_TRUNC empties it.
  struct stat existing;
  if ((flags & (_O_RDWR | _O_WRONLY)) && ::stat(path, &existing) == 0 &&
      S_ISREG(existing.st_mode) && (existing.st_mode & 0222) == 0) {
    errno = EACCES;
    return -1;
  }
  mode_t mode = (permission & _S_IWRITE) ? 0666 : 0444;
  int handle = Sys().open(path, posix_flags, mode);
  if (handle == -1) return -1;
  struct stat status;
  if (Sys().fstat(handle, &status) == 0 && S_ISDIR(status.st_mode)) {
    Sys().close(handle);
    errno = EACCES;
    return -1;
  }
  return handle;
}

int _read(int handle, void* buffer, unsigned count) {
  ssize_t got;
  do {
    got = Sys().read(handle, buffer, count);
  } while (got == -1 && errno == EINTR);
  return static_cast<int>(got);
}

int _write(int handle, const void* buffer, unsigned count) {
  ssize_t put;
  do {
    put = Sys().write(handle, buffer, count);
  } while (put == -1 && errno == EINTR);
  return static_cast<int>(put);
}

long _lseek(int handle, long offset, int origin) {
  return static_cast<long>(Sys().lseek(handle, offset, origin));
}

long long _lseeki64(int handle, long long offset, int origin) {
  return static_cast<long long>(Sys().lseek(handle, static_cast<off_t>(offset), origin));
}

int _eof(int handle) {
  off_t here = Sys().lseek(handle, 0, SEEK_CUR);
  if (here == -1) return -1;
  off_t end = Sys().lseek(handle, 0, SEEK_END);
  if (end == -1 || Sys().lseek(handle, here, SEEK_SET) == -1) return -1;
  return here >= end ? 1 : 0;
}

int _close(int handle) {
  return Sys().close(handle) == 0 ? 0 : -1;
}

int _chsize(int handle, long size) {
  return Sys().ftruncate(handle, static_cast<off_t>(size)) == 0 ? 0 : -1;
}

intptr_t _get_osfhandle(int handle) {
  struct stat status;
  if (handle < 0 || Sys().fstat(handle, &status) != 0) return -1;
  return handle;
}

char* _itoa(int value, char* buffer, int radix) {
  if (radix < 2 || radix > 36) {
    buffer[0] = '\0';
    return buffer;
  }
  // Outside base 10 the bits are shown as unsigned, as the Windows run-time does.
  bool negative = radix == 10 && value < 0;
  unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  char reversed[33];
  int count = 0;
  do {
    unsigned digit = magnitude % static_cast<unsigned>(radix);
    reversed[count++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    magnitude /= static_cast<unsigned>(radix);
  } while (magnitude != 0);
  char* out = buffer;
  if (negative) *out++ = '-';
  while (count > 0) *out++ = reversed[--count];
  *out = '\0';
  return buffer;
}

}  // namespace crt
