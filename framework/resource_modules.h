#pragma once
// The modules a program's resources are looked up in.
#include "framework/win32.h"

// The module resources are loaded from by default: the program's own.
HINSTANCE AfxGetResourceHandle() noexcept;

// The first of the program's resource modules that holds resource `name` of `type`; the
// default resource module when none does (a load from it then fails as it should).
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type) noexcept;
