#include "cli/memory_exhaustion.h"

#include <cxxabi.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

#include "framework/string_heap.h"

namespace cli {
namespace {

void WriteToStandardError(const char* text, size_t size) {
  while (size > 0) {
    ssize_t put = write(STDERR_FILENO, text, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;
    text += put;
    size -= static_cast<size_t>(put);
  }
}

// Looking at the type alone: rethrowing to find out would need an allocation of its own.
bool IsAboutMemory(const std::type_info* type) {
  return type == nullptr || *type == typeid(std::bad_alloc) ||
         *type == typeid(std::bad_array_new_length) || *type == typeid(CMemoryException);
}

[[noreturn]] void OnTerminate() {
  // With no exception current, the failure was making one.
  if (IsAboutMemory(abi::__cxa_current_exception_type())) {
    ReportMemoryExhausted();
    _exit(kMemoryExhaustedStatus);
  }
  constexpr char kMessage[] = "quillon: internal error: an exception was not handled\n";
  WriteToStandardError(kMessage, sizeof kMessage - 1);
  std::abort();
}

}  // namespace

void ReportMemoryExhausted() {
  constexpr char kMessage[] = "quillon: memory exhausted\n";
  WriteToStandardError(kMessage, sizeof kMessage - 1);
}

void ReportMemoryExhaustionOnTerminate() {
  std::set_terminate(OnTerminate);
}

}  // namespace cli
