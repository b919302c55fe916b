#pragma once
// <windows.h> for the framework and its programs. The API's A/W switching macros whose names
// the framework's own members share are removed, so that a member keeps one name in every
// translation unit whatever it includes first.
#include <windows.h>

#undef LoadString
#undef LoadIcon
#undef DispatchMessage
