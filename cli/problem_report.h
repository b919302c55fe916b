#pragma once
// Problems of the many-page forms, one line each on standard error, counted for the exit
// status. A line is one write, so the lines of processes run side by side do not mix.
#include <string_view>

#include "cli/progress_line.h"

namespace cli {

class ProblemReport {
 public:
  explicit ProblemReport(int descriptor);

  // "quillon: SUBJECT: WHAT\n"; an `error` other than 0 adds ": " and its description.
  void Report(std::string_view subject, std::string_view what, int error = 0);
  int count() const { return count_; }
  // A line of --progress on the same stream, taken away before each report.
  void ClearFirst(ProgressLine& progress) { progress_ = &progress; }

 private:
  int descriptor_;
  ProgressLine* progress_ = nullptr;
  int count_ = 0;
};

}  // namespace cli
