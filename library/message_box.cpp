#include "library/message_box.h"

#include "library/messages.h"
#include "library/platform.h"

namespace quillon {

void ShowMessage(const char* text, const char* caption) {
  MessageBoxA(nullptr, text, caption, MB_YESNO);
}

void ReportOutOfMemoryLastly() noexcept {
#ifdef _WIN32
  MessageBoxA(nullptr, kTextOutOfMemory, kCaptionOutOfMemory, MB_OK | MB_ICONEXCLAMATION);
#else
  PresentOnStandardError(kCaptionOutOfMemory, kTextOutOfMemory, MB_OK | MB_ICONEXCLAMATION,
                         nullptr);
#endif
}

}  // namespace quillon
