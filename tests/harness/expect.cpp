#include "tests/harness/expect.h"

#include <windows.h>

#include <cstdio>

namespace driver {

namespace {
int failures = 0;
int checks = 0;
}  // namespace

bool Expect(bool ok, const char* file, int line, const std::string& what,
            const std::string& detail) {
  ++checks;
  if (!ok) {
    ++failures;
    std::printf("%s:%d: FAILED %s %s\n", file, line, what.c_str(), detail.c_str());
    std::fflush(stdout);
  }
  return ok;
}

int FailureCount() {
  return failures;
}
int CheckCount() {
  return checks;
}

std::string Narrow(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::string Hex(unsigned long value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%lX", value);
  return buffer;
}

}  // namespace driver
