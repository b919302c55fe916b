#pragma once
// Faults put into the run-time stand-in's system-call table while an object lives; the real
// call comes back when it goes. One object of each kind at a time.
#include <cerrno>
#include <climits>

namespace testing_support {

// The first `successes` writes go through, together taking at most `room` bytes (the one that
// reaches it comes back short, as on a disk that fills up); every later write fails with
// `error`.
class FailingWrites {
 public:
  static constexpr int kAll = INT_MAX;
  static constexpr long long kNoLimit = LLONG_MAX;

  explicit FailingWrites(int successes, long long room = kNoLimit, int error = ENOSPC);
  ~FailingWrites();
  FailingWrites(const FailingWrites&) = delete;
  FailingWrites& operator=(const FailingWrites&) = delete;

  // Writes tried, failed ones included.
  int Attempts() const;
};

// The first `successes` reads go through, each taking at most `most` bytes (0: as many as
// asked) and none from file offset `bad_offset` on; every later read fails with EIO. A read
// that reaches the bad spot comes back short, or with kWholeReadFails fails as a whole (as
// reads over a damaged spot do on some systems).
class FailingReads {
 public:
  static constexpr int kAll = INT_MAX;
  static constexpr long long kNoLimit = LLONG_MAX;
  enum class Spot { kReadComesBackShort, kWholeReadFails };

  explicit FailingReads(int successes, unsigned most = 0, long long bad_offset = kNoLimit,
                        Spot spot = Spot::kReadComesBackShort);
  ~FailingReads();
  FailingReads(const FailingReads&) = delete;
  FailingReads& operator=(const FailingReads&) = delete;

  // Reads tried, failed ones included, and the failed ones alone.
  int Attempts() const;
  int Failures() const;
};

}  // namespace testing_support
