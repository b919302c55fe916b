#include "framework/cstring.h"
#include "framework/resource_modules.h"

namespace {

struct ScratchBlock {
  explicit ScratchBlock(int size) : bytes(static_cast<char*>(AllocStringBlock(size))) {}
  ~ScratchBlock() { FreeStringBlock(bytes); }
  char* bytes;
};

}  // namespace

bool CString::LoadString(unsigned id) {
  // Strings are stored sixteen to a block; the block's number names the resource.
  HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6));
  for (int size = 256;; size *= 2) {
    ScratchBlock buffer(size);
    int length = ::LoadStringA(module, id, buffer.bytes, size);
    // A text that fills the buffer to the brim may have been cut: try again with more room.
    if (length < size - 1 || size >= 0x10000) {
      *this = CString(buffer.bytes, length);
      return length > 0;
    }
  }
}
