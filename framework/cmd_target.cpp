#include "framework/cmd_target.h"

namespace {

const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id) {
  for (; map != nullptr; map = map->base_map != nullptr ? map->base_map() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->entries; entry->handler != nullptr; ++entry) {
      if (entry->message != message) continue;
      if (message == WM_COMMAND && (entry->code != code || entry->id != id)) continue;
      return entry;
    }
  }
  return nullptr;
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY kEntries[] = {{0, 0, 0, nullptr}};
  static const AFX_MSGMAP kMap = {nullptr, kEntries};
  return &kMap;
}

bool CCmdTarget::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const AFX_MSGMAP_ENTRY* entry =
      FindEntry(GetMessageMap(), message, HIWORD(wParam), LOWORD(wParam));
  if (entry == nullptr) return false;
  *result = entry->handler(this, wParam, lParam);
  return true;
}

bool CCmdTarget::OnCmdMsg(UINT id, UINT code) {
  LRESULT ignored = 0;
  return DispatchToMap(WM_COMMAND, MAKEWPARAM(id, code), 0, &ignored);
}
