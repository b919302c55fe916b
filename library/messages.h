#pragma once
// The texts the library shows, exactly as the user sees them (code page 932 in the binary).

namespace quillon {

inline constexpr char kCaptionError[] = "ERROR";
inline constexpr char kCaptionInputMissing[] = "エラーです。";
inline constexpr char kCaptionSaved[] = "ＯＫ";

inline constexpr char kTextSearchStarting[] = "アドレスの取得を開始します。";
inline constexpr char kTextOutputNotOpened[] = "書出しファイルが開けない";
inline constexpr char kTextInputMissing[] = "ファイルが存在しません。";
inline constexpr char kTextFileError[] = "ファイルエラーが発生しました。";
inline constexpr char kTextWriteFailed[] = "errno";
inline constexpr char kTextSettingsNotOpened[] = "初期化ファイルが開けない";
inline constexpr char kTextSettingsSaved[] = "＊＊ 初期化ファイルを書出しました。 ＊＊";

// The one box of a run that ran out of memory, shown as the framework shows its own: OK
// button, exclamation mark, no owner, the library's name as the caption.
inline constexpr char kCaptionOutOfMemory[] = "QUILLON";
inline constexpr char kTextOutOfMemory[] = "メモリが不足しています。";

// Values StatusText takes that no box shows.
inline constexpr char kStatusInputOpen[] = "exist file";
inline constexpr char kStatusSearching[] = "Searching...";
inline constexpr char kStatusInputEnded[] = "File End";
inline constexpr char kStatusSettingsLoaded[] = "初期値ロードＯＫ";

}  // namespace quillon
