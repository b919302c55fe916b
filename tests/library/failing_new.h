#pragma once
// The test program's operator new, made to fail on purpose while an object lives: every
// request of at least `smallest` bytes throws std::bad_alloc (the nothrow forms return null).
#include <cstddef>

namespace testing_support {

class FailingNew {
 public:
  explicit FailingNew(size_t smallest = 0);
  ~FailingNew();
  FailingNew(const FailingNew&) = delete;
  FailingNew& operator=(const FailingNew&) = delete;
};

}  // namespace testing_support
