#pragma once
// The library-wide state. It lives as long as the library is loaded and persists between
// runs; one run (or settings operation) at a time.
#include <optional>

#include "framework/cstring.h"

namespace quillon {

// Last status of the run or of a settings load; see the run for the values it takes.
extern CString StatusText;
// Handles of the run's files; 0 until the first run, -1 after a failed open. The flags say
// whether the handle is still open, so a second close never touches someone else's handle.
extern int OutputFile;
extern bool OutputFileOpen;
extern int InputFile;
extern bool InputFileOpen;
// The address being captured; made at the first capture in the library's life.
extern std::optional<CString> CurrentUrl;

// The seven settings and the settings file's handle while it is being loaded.
extern CString Setting1, Setting2, Setting3, Setting4, Setting5, Setting6, Setting7;
extern int SettingsFile;

}  // namespace quillon
