#pragma once
// The texts the library shows, exactly as the user sees them (code page 932 in the binary).

namespace quillon {

inline constexpr char CaptionError[] = "ERROR";
inline constexpr char CaptionInputMissing[] = "エラーです。";
inline constexpr char CaptionSaved[] = "ＯＫ";

inline constexpr char TextSearchStarting[] = "アドレスの取得を開始します。";
inline constexpr char TextOutputNotOpened[] = "書出しファイルが開けない";
inline constexpr char TextInputMissing[] = "ファイルが存在しません。";
inline constexpr char TextFileError[] = "ファイルエラーが発生しました。";
inline constexpr char TextWriteFailed[] = "errno";
inline constexpr char TextSettingsNotOpened[] = "初期化ファイルが開けない";
inline constexpr char TextSettingsSaved[] = "＊＊ 初期化ファイルを書出しました。 ＊＊";

// The one box of a run that ran out of memory, shown as the framework shows its own: OK
// button, exclamation mark, no owner, the library's name as the caption.
inline constexpr char CaptionOutOfMemory[] = "QUILLON";
inline constexpr char TextOutOfMemory[] = "メモリが不足しています。";

// Values StatusText takes that no box shows.
inline constexpr char StatusInputOpen[] = "exist file";
inline constexpr char StatusSearching[] = "Searching...";
inline constexpr char StatusInputEnded[] = "File End";
inline constexpr char StatusSettingsLoaded[] = "初期値ロードＯＫ";

}  // namespace quillon
