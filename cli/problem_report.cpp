#include "cli/problem_report.h"

#include <sys/uio.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace cli {
namespace {

// Nothing here allocates: a report may be about memory running out.
void WriteLine(int descriptor, std::initializer_list<std::string_view> parts) {
  iovec pieces[12];
  int count = 0;
  for (std::string_view part : parts) {
    if (part.empty() || count == 12) continue;
    pieces[count++] = iovec{const_cast<char*>(part.data()), part.size()};
  }
  while (writev(descriptor, pieces, count) < 0 && errno == EINTR) {
  }
}

}  // namespace

ProblemReport::ProblemReport(int descriptor) : descriptor_(descriptor) {}

void ProblemReport::Report(std::string_view subject, std::string_view what, int error) {
  ++count_;
  if (progress_ != nullptr) progress_->Clear();
  std::string_view description = error != 0 ? std::strerror(error) : "";
  WriteLine(descriptor_, {"quillon: ", subject, ": ", what, what.empty() || error == 0 ? "" : ": ",
                          description, "\n"});
}

}  // namespace cli
