#pragma once
// The Windows run-time's process start, as the library uses it, over posix_spawn.
#include <cstdint>

namespace crt {

// Start the program, wait for it to end, return its exit code.
inline constexpr int _P_WAIT = 0;

// Starts `path` (used as given, no search) with the NULL-ended argument list `arg0`, ...;
// the child's argv is that list, unchanged. In _P_WAIT mode it waits for the child and
// returns its exit code (128 plus the signal number when a signal ended it). Returns -1 at
// once, errno set, when the program cannot be started or `mode` is not _P_WAIT.
intptr_t _spawnl(int mode, const char* path, const char* arg0, ...);

}  // namespace crt
