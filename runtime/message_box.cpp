#include "runtime/message_box.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include "runtime/cp932.h"

namespace crt {
namespace {

MessagePresenter& CurrentPresenter() {
  static MessagePresenter presenter;
  return presenter;
}

// One line on standard error, gathered in a buffer of its own and written as it fills.
class ErrorLine {
 public:
  ~ErrorLine() {
    Flush();
    std::fflush(stderr);
  }
  void Put(std::string_view text) {
    while (!text.empty()) {
      if (used_ == sizeof buffer_) Flush();
      size_t taken = std::min(text.size(), sizeof buffer_ - used_);
      std::memcpy(buffer_ + used_, text.data(), taken);
      used_ += taken;
      text.remove_prefix(taken);
    }
  }
  void PutConverted(std::string_view text) {
    while (!text.empty()) {
      if (sizeof buffer_ - used_ < kLongestUtf8Character) Flush();
      used_ += Cp932ToUtf8Part(text, buffer_ + used_, sizeof buffer_ - used_);
    }
  }

 private:
  void Flush() {
    std::fwrite(buffer_, 1, used_, stderr);
    used_ = 0;
  }

  char buffer_[512];
  size_t used_ = 0;
};

}  // namespace

int PresentOnStandardError(LPCSTR caption, LPCSTR text, UINT, HWND) noexcept {
  ErrorLine line;
  line.Put("[");
  line.PutConverted(caption != nullptr ? caption : "");
  line.Put("] ");
  line.PutConverted(text != nullptr ? text : "");
  line.Put("\n");
  return IDYES;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  const MessagePresenter& presenter = CurrentPresenter();
  if (!presenter) return PresentOnStandardError(caption, text, style, owner);
  return presenter(caption, text, style, owner);
}

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
  return std::exchange(CurrentPresenter(), std::move(presenter));
}

}  // namespace crt
