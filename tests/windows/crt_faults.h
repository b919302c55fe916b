#pragma once
// Faults of the C run-time's low-level file calls, put into a loaded module (QUILLON.dll, or a
// test program that holds the library) through its import table, and a record of the files it
// opens. Each kind works through
// functions of its own with state of its own, so at most one object of each kind may live at
// a time; each gives the module its real function back when it goes.
#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

// The module's first `successes` _write calls go through; every later one fails: -1 with errno
// ENOSPC, as on a full disk. The bytes of each failed attempt are kept, in order.
class FailingWrites {
 public:
  explicit FailingWrites(HMODULE module, int successes = 0);
  ~FailingWrites();
  FailingWrites(const FailingWrites&) = delete;
  FailingWrites& operator=(const FailingWrites&) = delete;

  // False when the module imports no _write.
  bool Installed() const { return real_ != nullptr; }
  // Calls made, failed ones included, and the bytes of the failed ones.
  int Attempts() const;
  const std::vector<std::string>& FailedBytes() const;

 private:
  HMODULE module_;
  void* real_;
};

// The module's first `successes` _read calls go through, each taking at most `most` bytes
// (0: as many as asked); every later one fails: -1 with errno EIO.
class FailingReads {
 public:
  FailingReads(HMODULE module, int successes, unsigned most);
  ~FailingReads();
  FailingReads(const FailingReads&) = delete;
  FailingReads& operator=(const FailingReads&) = delete;

  bool Installed() const { return real_ != nullptr; }
  // Bytes the calls that went through delivered, and how many calls were made and failed.
  long long Delivered() const;
  int Attempts() const;
  int Failures() const;

 private:
  HMODULE module_;
  void* real_;
};

// Every _open of the module goes through; the names it passed are kept, in order.
class RecordedOpens {
 public:
  explicit RecordedOpens(HMODULE module);
  ~RecordedOpens();
  RecordedOpens(const RecordedOpens&) = delete;
  RecordedOpens& operator=(const RecordedOpens&) = delete;

  // The function the module imported as _open (null when it imports none).
  void* Real() const { return real_; }
  const std::vector<std::string>& Names() const;

 private:
  HMODULE module_;
  void* real_;
};

}  // namespace wintest
