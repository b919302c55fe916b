// The test program links the library in, so the library's calls of MessageBoxA go through this
// program's own import table: the recorder rewrites its slot.
#include <windows.h>

#include "tests/support/box_recorder.h"
#include "tests/windows/import_patch.h"

namespace testing_support {
namespace {

std::vector<cases::Box>* recorded = nullptr;
void* original_message_box = nullptr;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  recorded->push_back({caption, text, style, owner});
  return IDNO;
}

void* PatchMessageBox(void* replacement) {
  return wintest::PatchImport(GetModuleHandleA(nullptr), "user32.dll", "MessageBoxA", replacement);
}

}  // namespace

BoxRecorder::BoxRecorder() {
  recorded = &boxes_;
  original_message_box = PatchMessageBox(reinterpret_cast<void*>(RecordBox));
}

BoxRecorder::~BoxRecorder() {
  PatchMessageBox(original_message_box);
  recorded = nullptr;
}

}  // namespace testing_support
