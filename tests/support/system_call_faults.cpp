#include "tests/support/system_call_faults.h"

#include <unistd.h>

#include <cerrno>

#include "runtime/system_calls.h"

namespace testing_support {
namespace {

struct {
  int successes_left = 0;
  long long room = 0;
  int error = 0;
  int attempts = 0;
} writes;

ssize_t LimitedWrite(int fd, const void* buffer, size_t count) {
  ++writes.attempts;
  if (writes.successes_left == 0 || writes.room == 0) {
    errno = writes.error;
    return -1;
  }
  --writes.successes_left;
  if (static_cast<unsigned long long>(writes.room) < count)
    count = static_cast<size_t>(writes.room);
  ssize_t written = crt::RealSystemCalls().write(fd, buffer, count);
  if (written > 0 && writes.room != FailingWrites::kNoLimit) writes.room -= written;
  return written;
}

struct {
  int successes_left = 0;
  unsigned most = 0;
  long long bad_offset = 0;
  bool whole = false;
  int attempts = 0;
  int failures = 0;
} reads;

ssize_t LimitedRead(int fd, void* buffer, size_t count) {
  ++reads.attempts;
  const crt::SystemCalls& real = crt::RealSystemCalls();
  off_t here = reads.bad_offset == FailingReads::kNoLimit ? 0 : real.lseek(fd, 0, SEEK_CUR);
  bool reaches_bad_spot = reads.bad_offset != FailingReads::kNoLimit &&
                          count > static_cast<unsigned long long>(reads.bad_offset - here);
  if (reads.successes_left == 0 || here < 0 || here >= reads.bad_offset ||
      (reads.whole && reaches_bad_spot)) {
    ++reads.failures;
    errno = EIO;
    return -1;
  }
  --reads.successes_left;
  if (reads.most != 0 && count > reads.most) count = reads.most;
  if (reaches_bad_spot) count = static_cast<size_t>(reads.bad_offset - here);
  return real.read(fd, buffer, count);
}

}  // namespace

FailingWrites::FailingWrites(int successes, long long room, int error) {
  writes.successes_left = successes;
  writes.room = room;
  writes.error = error;
  writes.attempts = 0;
  crt::Sys().write = LimitedWrite;
}
FailingWrites::~FailingWrites() {
  crt::Sys().write = crt::RealSystemCalls().write;
}
int FailingWrites::Attempts() const {
  return writes.attempts;
}

FailingReads::FailingReads(int successes, unsigned most, long long bad_offset, Spot spot) {
  reads.successes_left = successes;
  reads.most = most;
  reads.bad_offset = bad_offset;
  reads.whole = spot == Spot::kWholeReadFails;
  reads.attempts = 0;
  reads.failures = 0;
  crt::Sys().read = LimitedRead;
}
FailingReads::~FailingReads() {
  crt::Sys().read = crt::RealSystemCalls().read;
}
int FailingReads::Attempts() const {
  return reads.attempts;
}
int FailingReads::Failures() const {
  return reads.failures;
}

}  // namespace testing_support
