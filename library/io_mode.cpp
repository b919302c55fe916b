#include "library/io_mode.h"

namespace quillon {

IoMode RunIoMode = IoMode::Block;

}  // namespace quillon
