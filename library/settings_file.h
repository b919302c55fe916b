#pragma once
// The seven settings and their file: one value per line, in the current directory. A load
// shows every byte it reads in a box of its own; a save reports its end in a box.
#include "framework/cstring.h"

namespace quillon {

inline constexpr char kSettingsFileName[] = "CGet_home_Ini.ini";

// Reads the settings file's lines into Setting1..Setting7, in order; CR and NUL bytes are
// dropped, an LF ends a line, lines from the eighth on are dropped. A line stops also at the
// end of the file or at a failed read, and then the load ends; such a last line is stored
// when at least one byte of it was read, so a missing or empty file changes no value.
// Shows the file-error box when the end-of-file test fails (a file that could not be
// opened). Leaves StatusText at "初期値ロードＯＫ" and SettingsFile at the closed handle.
void LoadSettings();

// Writes Setting1..Setting7, each followed by CR LF, to a new or emptied settings file, then
// shows the saved box. A file that cannot be opened gets its own box and stays as it was;
// the first failed write ends the save without a box. Touches neither SettingsFile nor
// StatusText.
void SaveSettings();

// One byte from SettingsFile: sets StatusText to it (empty for a NUL byte), shows it in a box
// and returns a copy. At the end of the file or on a failed read: the empty string, nothing
// changed and nothing shown.
CString ReadSettingsChar();

}  // namespace quillon
