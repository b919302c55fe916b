#include "runtime/file_information.h"

#include <sys/stat.h>

#include "runtime/system_calls.h"

namespace crt {

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
  struct stat status;
  auto descriptor = static_cast<int>(reinterpret_cast<std::intptr_t>(file));
  if (Sys().fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  auto inode = static_cast<std::uint64_t>(status.st_ino);
  // Folded, as a volume serial number has 32 bits.
  auto device = static_cast<std::uint64_t>(status.st_dev);
  information->dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
  information->nFileIndexHigh = static_cast<DWORD>(inode >> 32);
  information->nFileIndexLow = static_cast<DWORD>(inode);
  return 1;
}

}  // namespace crt
