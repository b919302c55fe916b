#include "tests/windows/quillon_dll.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/windows/import_patch.h"

namespace wintest {
namespace {

std::vector<Event> events;
long allocations_before_failure = -1;

using MallocFunction = void*(__cdecl*)(size_t);
using CallocFunction = void*(__cdecl*)(size_t, size_t);
using ReallocFunction = void*(__cdecl*)(void*, size_t);
using FreeFunction = void(__cdecl*)(void*);

// The real functions: the library and this program share msvcrt.dll's.
MallocFunction real_malloc = &std::malloc;
CallocFunction real_calloc = &std::calloc;
ReallocFunction real_realloc = &std::realloc;
FreeFunction real_free = &std::free;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  Event box(Event::kBox);
  box.caption = caption != nullptr ? caption : "<null>";
  box.text = text != nullptr ? text : "<null>";
  box.style = style;
  box.owner = owner;
  events.push_back(box);
  // Answers alternate, so a run that used them would not give the same results every time.
  return events.size() % 2 == 0 ? IDYES : IDNO;
}

bool TakeAllocation() {
  if (allocations_before_failure < 0) return true;
  if (allocations_before_failure-- > 0) return true;
  events.emplace_back(Event::kFailedMalloc);
  return false;
}

void RecordAllocation(void* block) {
  Event allocated(Event::kMalloc);
  allocated.block = block;
  events.push_back(allocated);
}

void* __cdecl WatchedMalloc(size_t bytes) {
  if (!TakeAllocation()) return nullptr;
  void* block = real_malloc(bytes);
  if (block != nullptr) RecordAllocation(block);
  return block;
}

// Never fails: the thread library's once-only set-up, which the first exception thrown goes
// through, takes its memory from calloc without checking it.
void* __cdecl WatchedCalloc(size_t count, size_t size) {
  void* block = real_calloc(count, size);
  if (block != nullptr) RecordAllocation(block);
  return block;
}

// A string block: its header and `capacity` + 1 characters, filling its heap block exactly,
// with a NUL after `length` bytes.
bool IsStringBlock(void* block, std::string& text) {
  const size_t size = _msize(block);
  if (size < sizeof(QuillonStringHeader) + 1) return false;
  const auto* header = static_cast<const QuillonStringHeader*>(block);
  const int length = header->length;
  const int capacity = header->capacity;
  if (length < 0 || capacity < length || size != sizeof(QuillonStringHeader) + capacity + 1u) {
    return false;
  }
  const char* characters = reinterpret_cast<const char*>(header + 1);
  if (characters[length] != '\0') return false;
  text.assign(characters, static_cast<size_t>(length));
  return true;
}

void RecordFree(void* block) {
  Event freed(Event::kFree);
  freed.block = block;
  freed.string_block = IsStringBlock(block, freed.text);
  events.push_back(freed);
}

void __cdecl WatchedFree(void* block) {
  if (block != nullptr) RecordFree(block);
  real_free(block);
}

void* __cdecl WatchedRealloc(void* block, size_t bytes) {
  if (bytes != 0 && !TakeAllocation()) return nullptr;
  if (block != nullptr) RecordFree(block);
  void* moved = real_realloc(block, bytes);
  if (moved != nullptr) RecordAllocation(moved);
  return moved;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = std::strrchr(path, '\\');
  if (slash != nullptr) slash[1] = '\0';
  return path;
}

}  // namespace

std::vector<Event>& Events() {
  return events;
}

std::vector<Event> Boxes() {
  std::vector<Event> boxes;
  for (const Event& event : events) {
    if (event.kind == Event::kBox) boxes.push_back(event);
  }
  return boxes;
}

void FailOneAllocationAfter(long successes) {
  allocations_before_failure = successes;
}

QuillonDll::QuillonDll() {
  events.clear();
  allocations_before_failure = -1;
  module_ = LoadLibraryA((ProgramFolder() + "QUILLON.dll").c_str());
  if (module_ == nullptr) return;
  if (PatchImport(module_, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordBox)) ==
      nullptr) {
    return;  // a box could not be answered: leave the library unusable
  }
  search_ = reinterpret_cast<SearchFunction>(
      reinterpret_cast<void*>(GetProcAddress(module_, "_BEGIN_SEARCH_ADD@32")));
}

QuillonDll::~QuillonDll() {
  Unload();
}

void QuillonDll::WatchHeap() {
  PatchImport(module_, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&WatchedMalloc));
  PatchImport(module_, "msvcrt.dll", "calloc", reinterpret_cast<void*>(&WatchedCalloc));
  PatchImport(module_, "msvcrt.dll", "realloc", reinterpret_cast<void*>(&WatchedRealloc));
  PatchImport(module_, "msvcrt.dll", "free", reinterpret_cast<void*>(&WatchedFree));
}

std::array<void*, 8> QuillonDll::Run(const std::array<std::string, 8>& arguments) {
  QuillonString made[8];
  std::array<void*, 8> blocks{};
  for (size_t i = 0; i < 8; ++i) {
    made[i] = QuillonMakeString(arguments[i].data(), static_cast<int>(arguments[i].size()));
    if (made[i].characters != nullptr) {
      blocks[i] = reinterpret_cast<QuillonStringHeader*>(made[i].characters) - 1;
    }
  }
  search_(made[0], made[1], made[2], made[3], made[4], made[5], made[6], made[7]);
  return blocks;
}

void QuillonDll::Unload() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
  search_ = nullptr;
}

void WriteFileBytes(const char* name, const std::string& bytes) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string ReadFileBytes(const char* name) {
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return "<missing>";
  std::string bytes;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return bytes;
}

}  // namespace wintest
