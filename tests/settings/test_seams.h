#pragma once
// What the settings tests need from the platform beneath the library: the box recorder, and
// low-level reads and writes that fail after a number of successes (on Linux through the
// run-time stand-in's system-call table, on Windows by rewriting this program's own imports,
// since the library is linked into it).
#include <string>

#include "tests/support/box_recorder.h"
#ifdef _WIN32
#include <windows.h>

#include "tests/windows/crt_faults.h"
#else
#include "tests/support/system_call_faults.h"
#endif

namespace quillon_test {

using cases::Box;
using testing_support::BoxRecorder;

#ifdef _WIN32
class FailingWrites : public wintest::FailingWrites {
 public:
  explicit FailingWrites(int successes)
      : wintest::FailingWrites(GetModuleHandleA(nullptr), successes) {}
};
class FailingReads : public wintest::FailingReads {
 public:
  explicit FailingReads(int successes)
      : wintest::FailingReads(GetModuleHandleA(nullptr), successes, 0) {}
};
#else
using testing_support::FailingReads;
using testing_support::FailingWrites;
#endif

// The folder of the running test program, with a trailing separator.
std::string OwnDirectory();

}  // namespace quillon_test
