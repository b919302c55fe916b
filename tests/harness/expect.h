#pragma once
// The driver's checks: each failure is printed with its place and counted; the driver's exit
// code says whether any failed.
#include <sstream>
#include <string>

namespace driver {

// Records one check; `what` says what was checked, `detail` what was seen when it failed.
bool Expect(bool ok, const char* file, int line, const std::string& what,
            const std::string& detail = {});
int FailureCount();
int CheckCount();

std::string Narrow(const std::wstring& text);  // UTF-8, for messages
std::string Hex(unsigned long value);

}  // namespace driver

#define EXPECT_TRUE(cond) ::driver::Expect((cond), __FILE__, __LINE__, #cond)
#define EXPECT_EQ(expected, actual)                                                                \
  [&] {                                                                                            \
    auto&& e_ = (expected);                                                                        \
    auto&& a_ = (actual);                                                                          \
    std::ostringstream seen_;                                                                      \
    if (!(e_ == a_)) seen_ << "expected " << ::driver::Show(e_) << ", got " << ::driver::Show(a_); \
    return ::driver::Expect(e_ == a_, __FILE__, __LINE__, #expected " == " #actual, seen_.str());  \
  }()

namespace driver {
inline std::string Show(const std::wstring& s) {
  return "\"" + Narrow(s) + "\"";
}
inline std::string Show(const wchar_t* s) {
  return Show(std::wstring(s));
}
inline std::string Show(const std::string& s) {
  return "\"" + s + "\"";
}
inline std::string Show(const char* s) {
  return Show(std::string(s));
}
template <typename T>
std::string Show(const T& value) {
  std::ostringstream out;
  out << value;
  if constexpr (std::is_integral_v<T>) out << " (" << Hex(static_cast<unsigned long>(value)) << ")";
  return out.str();
}
}  // namespace driver
