#include "framework/string_heap.h"

#include <cstdlib>

namespace {
long live_blocks = 0;
long allocations_before_failure = -1;
}  // namespace

void* AllocStringBlock(std::size_t bytes) {
  if (allocations_before_failure == 0) throw CMemoryException();
  if (allocations_before_failure > 0) --allocations_before_failure;
  void* block = std::malloc(bytes);
  if (block == nullptr) throw CMemoryException();
  ++live_blocks;
  return block;
}

void FreeStringBlock(void* block) noexcept {
  if (block == nullptr) return;
  std::free(block);
  --live_blocks;
}

long LiveStringBlocks() noexcept {
  return live_blocks;
}

void FailStringAllocationsAfter(long successes) noexcept {
  allocations_before_failure = successes;
}
