#pragma once
// A stand-in for USER32's MessageBoxA: each box goes to a presenter instead of a window.
#include <functional>

namespace crt {

using HWND = void*;
using UINT = unsigned;
using LPCSTR = const char*;

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Receives one box: caption and text as the caller gave them (code page 932 bytes), the style
// bits and the owner window; returns the answer (IDYES, IDNO, ...).
using MessagePresenter = std::function<int(LPCSTR caption, LPCSTR text, UINT style, HWND owner)>;

// Shows a box through the current presenter and returns its answer.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

// Installs `presenter` and returns the one it replaces. An empty presenter restores the
// default, which writes "[CAPTION] TEXT" in UTF-8 on standard error and answers IDYES.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

// The default presentation of one box, for presenters that filter and then pass boxes on. It
// needs no memory, so that it can say that memory ran out.
int PresentOnStandardError(LPCSTR caption, LPCSTR text, UINT style, HWND owner) noexcept;

}  // namespace crt
