#pragma once
// MARLIP's texts as its windows show them.
namespace driver {

inline constexpr wchar_t kMainCaption[] = L"ＵＲＬ抜き出しＤＬＬテストプログラムです。";
inline constexpr wchar_t kAboutCaption[] = L"ﾊﾞｰｼﾞｮﾝ情報 marlip";
inline constexpr wchar_t kAboutSecondLine[] = L"QUILLON テスト用";
inline constexpr wchar_t kAboutMenuEntry[] = L"ﾊﾞｰｼﾞｮﾝ情報(marlip) (&A)...";

// wParam of the WM_NULL that asks the window report hook for its report.
inline constexpr unsigned kWindowReportRequest = 0x4D524C50;

}  // namespace driver
