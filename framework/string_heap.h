#pragma once
// Where every string buffer comes from. Buffers are taken from the C run-time heap (malloc and
// free), so a buffer made in one module can be released in another: on Windows both the
// library and its callers use msvcrt.dll's heap.
#include <cstddef>

// Thrown when a string buffer cannot be had, as the framework's memory exception.
class CMemoryException {};

// The start of every string block. `capacity` + 1 bytes of characters follow it: the first
// `length` are the string's (NUL bytes included), a NUL comes after them. Callers of the
// library build blocks themselves with the same layout (QuillonStringHeader of quillon.h).
struct StringBlockHeader {
  int length;
  int capacity;
};

// The header of the block whose characters start at `characters`.
inline StringBlockHeader* StringBlockHeaderOf(char* characters) noexcept {
  return reinterpret_cast<StringBlockHeader*>(characters) - 1;
}

// Returns a block of `bytes` bytes; throws CMemoryException when the heap has none.
void* AllocStringBlock(std::size_t bytes);
// Returns a block to the heap; null is ignored.
void FreeStringBlock(void* block) noexcept;

// Number of blocks this module has taken and not yet returned. A block made in another module
// and released here counts down without having counted up.
long LiveStringBlocks() noexcept;

// Test hook: after `successes` more allocations, every allocation fails. A negative value
// (the default) never fails.
void FailStringAllocationsAfter(long successes) noexcept;
