#pragma once
// QUILLON.dll loaded into a test program, with the calls it makes to the outside watched:
// every MessageBoxA is recorded and answered without a window, and on request every heap
// call is recorded too (and allocations can be made to fail).
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "library/quillon.h"

namespace wintest {

// What the library did, in the order it did it.
struct Event {
  enum Kind { kBox, kMalloc, kFree, kFailedMalloc };
  explicit Event(Kind what) : kind(what) {}

  Kind kind;
  // kBox: the arguments of MessageBoxA.
  std::string caption;
  std::string text;
  UINT style = 0;
  HWND owner = nullptr;
  // kMalloc and kFree: the block. For a freed string block, its bytes (see IsStringBlock).
  void* block = nullptr;
  bool string_block = false;
};

// Everything recorded since the last Clear(), for every loaded library.
std::vector<Event>& Events();
// Only the boxes among them.
std::vector<Event> Boxes();

// After `successes` more of the library's malloc and realloc calls have succeeded, the next
// one fails, and only that one; a negative value fails none. Takes effect only while the heap
// is watched. (With every later one failing too, the compiler's run-time cannot throw: an
// exception that gets no memory falls back on a reserve whose lock is itself made from the
// heap on first use, and the failure to make it throws again, without end.)
void FailOneAllocationAfter(long successes);

class QuillonDll {
 public:
  // Loads QUILLON.dll from this program's folder and silences its boxes. The events are
  // cleared and no allocation is set to fail. Check Loaded() before use.
  QuillonDll();
  ~QuillonDll();
  QuillonDll(const QuillonDll&) = delete;
  QuillonDll& operator=(const QuillonDll&) = delete;

  bool Loaded() const { return search_ != nullptr; }
  HMODULE Module() const { return module_; }

  // From now on records the library's malloc/calloc/realloc/free calls.
  void WatchHeap();

  // Calls the export with the eight strings as made by QuillonMakeString (empty: the null
  // string object). Returns the addresses of the eight blocks made (null for empty ones).
  std::array<void*, 8> Run(const std::array<std::string, 8>& arguments);

  // Unloads the library now (the destructor does it otherwise).
  void Unload();

 private:
  using SearchFunction = void(__stdcall*)(QuillonString, QuillonString, QuillonString,
                                          QuillonString, QuillonString, QuillonString,
                                          QuillonString, QuillonString);
  HMODULE module_ = nullptr;
  SearchFunction search_ = nullptr;
};

// File helpers for the runs, relative to the current folder.
void WriteFileBytes(const char* name, const std::string& bytes);
// The file's bytes; "<missing>" when it cannot be read.
std::string ReadFileBytes(const char* name);

}  // namespace wintest
