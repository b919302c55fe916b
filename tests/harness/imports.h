#pragma once
// The load-time imports of a program file, read from its import table.
#include <string>
#include <vector>

namespace driver {

// The functions that the program at `path` imports from DLL `dll` (compared without regard to
// case), in table order: a name, or "#n" for an import by ordinal. Empty when the file cannot
// be read or imports nothing from `dll`.
std::vector<std::string> ImportsFrom(const std::wstring& path, const std::string& dll);

}  // namespace driver
