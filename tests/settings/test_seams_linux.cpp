#include <cerrno>
#include <climits>
#include <unistd.h>

#include "runtime/message_box.h"
#include "runtime/system_calls.h"
#include "tests/settings/test_seams.h"

namespace quillon_test {
namespace {

crt::MessagePresenter previous_presenter;

int writes_allowed = 0;
int write_attempts = 0;
ssize_t CountedWrite(int fd, const void* buffer, size_t count) {
  ++write_attempts;
  if (writes_allowed == 0) {
    errno = EIO;
    return -1;
  }
  --writes_allowed;
  return crt::RealSystemCalls().write(fd, buffer, count);
}

int reads_allowed = 0;
int read_attempts = 0;
ssize_t CountedRead(int fd, void* buffer, size_t count) {
  ++read_attempts;
  if (reads_allowed == 0) {
    errno = EIO;
    return -1;
  }
  --reads_allowed;
  return crt::RealSystemCalls().read(fd, buffer, count);
}

}  // namespace

BoxRecorder::BoxRecorder() {
  previous_presenter = crt::SetMessagePresenter(
      [this](const char* caption, const char* text, unsigned style, void* owner) {
        boxes_.push_back({caption, text, style, owner});
        return crt::IDYES;
      });
}
BoxRecorder::~BoxRecorder() {
  crt::SetMessagePresenter(std::move(previous_presenter));
}

FailingWrites::FailingWrites(int allowed) {
  writes_allowed = allowed;
  write_attempts = 0;
  crt::Sys().write = CountedWrite;
}
FailingWrites::~FailingWrites() {
  crt::Sys().write = crt::RealSystemCalls().write;
}
int FailingWrites::Attempts() const {
  return write_attempts;
}

FailingReads::FailingReads(int allowed) {
  reads_allowed = allowed;
  read_attempts = 0;
  crt::Sys().read = CountedRead;
}
FailingReads::~FailingReads() {
  crt::Sys().read = crt::RealSystemCalls().read;
}
int FailingReads::Attempts() const {
  return read_attempts;
}

std::string OwnDirectory() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "./";
  std::string own(path, static_cast<size_t>(length));
  return own.substr(0, own.rfind('/') + 1);
}

}  // namespace quillon_test
