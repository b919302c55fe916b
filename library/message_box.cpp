#include "library/message_box.h"

#include "library/platform.h"
#include "library/record_output.h"

namespace quillon {

void ShowMessage(const char* text, const char* caption) {
  FlushOutput();
  MessageBoxA(nullptr, text, caption, MB_YESNO);
}

}  // namespace quillon
