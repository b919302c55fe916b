#include "cli/run_report.h"

#include <cstring>

#include "library/messages.h"
#include "runtime/message_box.h"

namespace cli {
namespace {
int problems = 0;
}

void StartRunReport(bool quiet) {
  problems = 0;
  crt::SetMessagePresenter(
      [quiet](const char* caption, const char* text, crt::UINT style, crt::HWND owner) {
        bool opening = std::strcmp(caption, quillon::kCaptionError) == 0 &&
                       std::strcmp(text, quillon::kTextSearchStarting) == 0;
        if (!opening) ++problems;
        if (opening && quiet) return crt::IDYES;
        return crt::PresentOnStandardError(caption, text, style, owner);
      });
}

int ReportedProblems() {
  return problems;
}

}  // namespace cli
