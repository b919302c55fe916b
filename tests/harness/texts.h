#pragma once
// MARLIP's texts as its windows show them.
namespace driver {

inline constexpr wchar_t kMainCaption[] = L"ＵＲＬ抜き出しＤＬＬテストプログラムです。";
inline constexpr wchar_t kAboutCaption[] = L"ﾊﾞｰｼﾞｮﾝ情報 marlip";
inline constexpr wchar_t kAboutSecondLine[] = L"ＵＲＬ抜き出しＤＬＬのテスト用です。";
inline constexpr wchar_t kAboutMenuEntry[] = L"ﾊﾞｰｼﾞｮﾝ情報(marlip) (&A)...";

}  // namespace driver
