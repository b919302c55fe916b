#include "runtime/message_box.h"

#include <cstdio>
#include <string>
#include <utility>

#include "runtime/cp932.h"

namespace crt {
namespace {

MessagePresenter& CurrentPresenter() {
  static MessagePresenter presenter;
  return presenter;
}

}  // namespace

int PresentOnStandardError(LPCSTR caption, LPCSTR text, UINT, HWND) {
  std::string line = "[" + Cp932ToUtf8(caption != nullptr ? caption : "") + "] " +
                     Cp932ToUtf8(text != nullptr ? text : "") + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
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
