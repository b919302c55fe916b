#include "tests/library/failing_new.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace testing_support {
namespace {

size_t failing_from = SIZE_MAX;

void* Allocate(size_t size) noexcept {
  if (size >= failing_from) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

FailingNew::FailingNew(size_t smallest) {
  failing_from = smallest;
}
FailingNew::~FailingNew() {
  failing_from = SIZE_MAX;
}

}  // namespace testing_support

// Every form the program uses, with delete to match, so that a sanitizer's own forms never pair
// with these.
void* operator new(size_t size) {
  void* block = testing_support::Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void* operator new[](size_t size) {
  return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return testing_support::Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return testing_support::Allocate(size);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
  std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
