#pragma once
// MARLIP's texts as its windows show them.
namespace driver {

inline constexpr wchar_t kMainCaption[] = L"ＵＲＬ抜き出しＤＬＬテストプログラムです。";
inline constexpr wchar_t kAboutCaption[] = L"ﾊﾞｰｼﾞｮﾝ情報 marlip";
inline constexpr wchar_t kAboutSecondLine[] = L"QUILLON テスト用";
inline constexpr wchar_t kAboutMenuEntry[] = L"ﾊﾞｰｼﾞｮﾝ情報(marlip) (&A)...";

// wParam of the WM_NULL that asks the window report hook for its report.
inline constexpr unsigned kWindowReportRequest = 0x4D524C50;
// wParam of the WM_NULL that has the test build's string allocations fail after lParam more
// successes (-1: never).
inline constexpr unsigned kStringFailureRequest = 0x4D524C46;

// The framework's box for a handler that ran out of memory, in the test build (MARLIP_TEST.EXE,
// whose name is the caption).
inline constexpr wchar_t kTestBuildCaption[] = L"MARLIP_TEST";
inline constexpr wchar_t kOutOfMemoryText[] = L"メモリが不足しています。";

}  // namespace driver
