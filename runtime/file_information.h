#pragma once
// A stand-in for KERNEL32's GetFileInformationByHandle, as far as the library asks it: which
// volume, and which file on it, a handle reaches.
#include <cstdint>

namespace crt {

using HANDLE = void*;
using DWORD = std::uint32_t;
using BOOL = int;

struct BY_HANDLE_FILE_INFORMATION {
  DWORD dwVolumeSerialNumber;
  DWORD nFileIndexHigh;
  DWORD nFileIndexLow;
};

// Fills `information` for the file behind `file` (a descriptor, as _get_osfhandle gives it):
// its device and inode. As Windows answers only for files on a volume, fails (returns 0) for
// anything but a regular file, and when the handle is not open.
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information);

}  // namespace crt
