// The test program links the library in, so the library's calls of MessageBoxA, _read and
// _write go through this program's own import table: the seams rewrite its slots.
#include <windows.h>

#include <cerrno>

#include "tests/settings/test_seams.h"
#include "tests/windows/import_patch.h"

namespace quillon_test {
namespace {

using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
using ReadFunction = int(__cdecl*)(int, void*, unsigned);
using WriteFunction = int(__cdecl*)(int, const void*, unsigned);

void* Patch(const char* dll, const char* function, void* replacement) {
  return wintest::PatchImport(GetModuleHandleA(nullptr), dll, function, replacement);
}

std::vector<Box>* recorded = nullptr;
void* original_message_box = nullptr;
int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  recorded->push_back({caption, text, style, owner});
  return IDYES;
}

int writes_allowed = 0;
int write_attempts = 0;
WriteFunction original_write = nullptr;
int __cdecl CountedWrite(int handle, const void* buffer, unsigned count) {
  ++write_attempts;
  if (writes_allowed == 0) {
    errno = ENOSPC;
    return -1;
  }
  --writes_allowed;
  return original_write(handle, buffer, count);
}

int reads_allowed = 0;
int read_attempts = 0;
ReadFunction original_read = nullptr;
int __cdecl CountedRead(int handle, void* buffer, unsigned count) {
  ++read_attempts;
  if (reads_allowed == 0) {
    errno = EIO;
    return -1;
  }
  --reads_allowed;
  return original_read(handle, buffer, count);
}

}  // namespace

BoxRecorder::BoxRecorder() {
  recorded = &boxes_;
  original_message_box = Patch("user32.dll", "MessageBoxA", reinterpret_cast<void*>(RecordBox));
}
BoxRecorder::~BoxRecorder() {
  Patch("user32.dll", "MessageBoxA", original_message_box);
  recorded = nullptr;
}

FailingWrites::FailingWrites(int allowed) {
  writes_allowed = allowed;
  write_attempts = 0;
  original_write = reinterpret_cast<WriteFunction>(
      Patch("msvcrt.dll", "_write", reinterpret_cast<void*>(CountedWrite)));
}
FailingWrites::~FailingWrites() {
  Patch("msvcrt.dll", "_write", reinterpret_cast<void*>(original_write));
}
int FailingWrites::Attempts() const {
  return write_attempts;
}

FailingReads::FailingReads(int allowed) {
  reads_allowed = allowed;
  read_attempts = 0;
  original_read = reinterpret_cast<ReadFunction>(
      Patch("msvcrt.dll", "_read", reinterpret_cast<void*>(CountedRead)));
}
FailingReads::~FailingReads() {
  Patch("msvcrt.dll", "_read", reinterpret_cast<void*>(original_read));
}
int FailingReads::Attempts() const {
  return read_attempts;
}

std::string OwnDirectory() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string own(path, length);
  return own.substr(0, own.find_last_of("\\/") + 1);
}

}  // namespace quillon_test
