#include "cli/run_report.h"

#include <cstring>

#include "cli/memory_exhaustion.h"
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
        bool opening = std::strcmp(caption, quillon::CaptionError) == 0 &&
                       std::strcmp(text, quillon::TextSearchStarting) == 0;
        if (!opening) ++problems;
        // Shown the tool's way, and without the conversion to UTF-8, which allocates.
        if (std::strcmp(caption, quillon::CaptionOutOfMemory) == 0 &&
            std::strcmp(text, quillon::TextOutOfMemory) == 0) {
          ReportMemoryExhausted();
          return crt::IDYES;
        }
        if (opening && quiet) return crt::IDYES;
        return crt::PresentOnStandardError(caption, text, style, owner);
      });
}

int ReportedProblems() {
  return problems;
}

}  // namespace cli
