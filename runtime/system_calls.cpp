#include "runtime/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

namespace crt {
namespace {

int OpenFile(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

const SystemCalls kReal = {OpenFile, ::read, ::write, ::lseek, ::close, ::fstat, ::ftruncate};
SystemCalls current = kReal;

}  // namespace

SystemCalls& Sys() {
  return current;
}
const SystemCalls& RealSystemCalls() {
  return kReal;
}

}  // namespace crt
