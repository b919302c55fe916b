#include "cli/run_report.h"

#include <cstring>
#include <new>

#include "cli/memory_exhaustion.h"
#include "library/messages.h"
#include "runtime/message_box.h"

namespace cli {
namespace {

int problems = 0;
bool memory_exhausted = false;

int MemoryExhausted() {
  ++problems;
  if (!memory_exhausted) ReportMemoryExhausted();
  memory_exhausted = true;
  return crt::IDYES;
}

}  // namespace

void StartRunReport(bool quiet) {
  problems = 0;
  memory_exhausted = false;
  crt::SetMessagePresenter(
      [quiet](const char* caption, const char* text, crt::UINT style, crt::HWND owner) {
        // Shown the tool's way, and without the conversion to UTF-8, which allocates.
        if (std::strcmp(caption, quillon::kCaptionOutOfMemory) == 0 &&
            std::strcmp(text, quillon::kTextOutOfMemory) == 0) {
          return MemoryExhausted();
        }
        bool opening = std::strcmp(caption, quillon::kCaptionError) == 0 &&
                       std::strcmp(text, quillon::kTextSearchStarting) == 0;
        if (!opening) ++problems;
        if (opening && quiet) return crt::IDYES;
        try {
          return crt::PresentOnStandardError(caption, text, style, owner);
        } catch (const std::bad_alloc&) {
          // The library lets nothing out of a run: thrown on, this would end it unseen.
          return MemoryExhausted();
        }
      });
}

int ReportedProblems() {
  return problems;
}

}  // namespace cli
