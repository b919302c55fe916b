#include "library/io_mode.h"

namespace quillon {
namespace {
IoMode mode = IoMode::Block;
}

void SetIoMode(IoMode new_mode) {
  mode = new_mode;
}
IoMode CurrentIoMode() {
  return mode;
}

}  // namespace quillon
