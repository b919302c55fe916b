// Memory running out while an engine is made: every allocation that can fail gives
// QUILLON_ERROR_MEMORY and nothing else, for both ways of making one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/capi/record_collector.h"

namespace {

// Allocations still allowed before the next one fails; negative: no limit.
int allocations_left = -1;

class AllocationLimit {
 public:
  explicit AllocationLimit(int allowed) { allocations_left = allowed; }
  ~AllocationLimit() { allocations_left = -1; }
};

}  // namespace

void* operator new(std::size_t size) {
  if (allocations_left == 0) throw std::bad_alloc();
  if (allocations_left > 0) --allocations_left;
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

namespace {

using capi_testing::Collect;
using capi_testing::Collected;

TEST(CApiMemory, EachFailingAllocationIsReported) {
  // Longer than any string keeps inside itself, so that copying it allocates.
  const char* keywords[] = {"a-keyword-of-forty-bytes-or-so-to-copy", nullptr,
                            "another-keyword-long-enough-to-be-copied"};
  Collected c;
  for (bool whole_page : {false, true}) {
    int failures = 0;
    for (int allowed = 0;; ++allowed) {
      quillon_engine* engine = nullptr;
      int status;
      {
        AllocationLimit limit(allowed);
        status = whole_page ? quillon_extract("<", 1, keywords, 3, Collect, &c)
                            : quillon_engine_new(keywords, 3, Collect, &c, &engine);
      }
      quillon_engine_free(engine);
      if (status == QUILLON_OK) break;
      ASSERT_EQ(status, QUILLON_ERROR_MEMORY) << allowed << " allocations allowed";
      EXPECT_EQ(engine, nullptr);
      ++failures;
    }
    EXPECT_GE(failures, whole_page ? 2 : 3) << "an allocation per keyword, and the engine's";
  }
}

}  // namespace
