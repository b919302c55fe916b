#include "library/message_box.h"

#include "library/platform.h"

namespace quillon {

void ShowMessage(const char* text, const char* caption) {
  MessageBoxA(nullptr, text, caption, MB_YESNO);
}

}  // namespace quillon
