// All library-wide objects are defined here, in one place, because their order matters: they
// are made in this order when the library is loaded and destroyed in the reverse order when it
// is unloaded, CurrentUrl (made last, at the first capture) first of all.
#include "library/run_state.h"

namespace quillon {

CString Setting1;
CString Setting2;
CString Setting3;
CString Setting4;
CString Setting5;
CString Setting6;
CString StatusText;
CString Setting7;
std::optional<CString> CurrentUrl;

int OutputFile = 0;
bool OutputFileOpen = false;
int InputFile = 0;
bool InputFileOpen = false;
int SettingsFile = 0;

}  // namespace quillon
