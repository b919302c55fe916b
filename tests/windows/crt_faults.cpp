#include "tests/windows/crt_faults.h"

#include <cerrno>

#include "tests/windows/import_patch.h"

namespace wintest {
namespace {

constexpr char kRunTime[] = "msvcrt.dll";

using ReadFunction = int(__cdecl*)(int, void*, unsigned);
using WriteFunction = int(__cdecl*)(int, const void*, unsigned);
using OpenFunction = int(__cdecl*)(const char*, int, ...);

WriteFunction real_write = nullptr;
int writes_left = 0;
int write_attempts = 0;
std::vector<std::string> failed_writes;

int __cdecl FailLaterWrite(int handle, const void* bytes, unsigned count) {
  ++write_attempts;
  if (writes_left > 0) {
    --writes_left;
    return real_write(handle, bytes, count);
  }
  failed_writes.emplace_back(static_cast<const char*>(bytes), count);
  errno = ENOSPC;
  return -1;
}

ReadFunction real_read = nullptr;
int reads_left = 0;
int read_attempts = 0;
unsigned read_most = 0;
long long read_delivered = 0;
int read_failures = 0;

int __cdecl FailLaterRead(int handle, void* buffer, unsigned count) {
  ++read_attempts;
  if (reads_left <= 0) {
    ++read_failures;
    errno = EIO;
    return -1;
  }
  --reads_left;
  if (read_most != 0 && count > read_most) count = read_most;
  int got = real_read(handle, buffer, count);
  if (got > 0) read_delivered += got;
  return got;
}

OpenFunction real_open = nullptr;
std::vector<std::string> opened_names;

// The permission argument is read whether or not the caller passed one: the caller removes
// the arguments, and _open looks at it only with _O_CREAT.
int __cdecl RecordOpen(const char* name, int flags, int permission) {
  opened_names.emplace_back(name != nullptr ? name : "<null>");
  return real_open(name, flags, permission);
}

void Restore(HMODULE module, const char* function, void* real) {
  if (real != nullptr) PatchImport(module, kRunTime, function, real);
}

}  // namespace

FailingWrites::FailingWrites(HMODULE module, int successes) : module_(module) {
  writes_left = successes;
  write_attempts = 0;
  failed_writes.clear();
  real_ = PatchImport(module, kRunTime, "_write", reinterpret_cast<void*>(&FailLaterWrite));
  real_write = reinterpret_cast<WriteFunction>(real_);
}

FailingWrites::~FailingWrites() {
  Restore(module_, "_write", real_);
}

int FailingWrites::Attempts() const {
  return write_attempts;
}

const std::vector<std::string>& FailingWrites::FailedBytes() const {
  return failed_writes;
}

FailingReads::FailingReads(HMODULE module, int successes, unsigned most) : module_(module) {
  reads_left = successes;
  read_most = most;
  read_delivered = 0;
  read_attempts = 0;
  read_failures = 0;
  real_ = PatchImport(module, kRunTime, "_read", reinterpret_cast<void*>(&FailLaterRead));
  real_read = reinterpret_cast<ReadFunction>(real_);
}

FailingReads::~FailingReads() {
  Restore(module_, "_read", real_);
}

long long FailingReads::Delivered() const {
  return read_delivered;
}

int FailingReads::Attempts() const {
  return read_attempts;
}

int FailingReads::Failures() const {
  return read_failures;
}

RecordedOpens::RecordedOpens(HMODULE module) : module_(module) {
  opened_names.clear();
  real_ = PatchImport(module, kRunTime, "_open", reinterpret_cast<void*>(&RecordOpen));
  real_open = reinterpret_cast<OpenFunction>(real_);
}

RecordedOpens::~RecordedOpens() {
  Restore(module_, "_open", real_);
}

const std::vector<std::string>& RecordedOpens::Names() const {
  return opened_names;
}

}  // namespace wintest
