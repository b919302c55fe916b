#include "tests/harness/imports.h"

#include <windows.h>

#include <cstring>

#include "tests/harness/probe.h"

namespace driver {

namespace {

class Image {
 public:
  explicit Image(std::string bytes) : bytes_(std::move(bytes)) {}

  template <typename T>
  bool Read(DWORD offset, T* value) const {
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) return false;
    std::memcpy(value, bytes_.data() + offset, sizeof(T));
    return true;
  }
  std::string Text(DWORD offset) const {
    if (offset >= bytes_.size()) return {};
    return std::string(bytes_.c_str() + offset);
  }
  // The file offset of relative virtual address `rva`, through the section table.
  DWORD OffsetOf(DWORD rva) const { return OffsetIn(rva); }

  bool Parse() {
    IMAGE_DOS_HEADER dos;
    if (!Read(0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return false;
    if (!Read(static_cast<DWORD>(dos.e_lfanew), &nt_) || nt_.Signature != IMAGE_NT_SIGNATURE) {
      return false;
    }
    sections_ = static_cast<DWORD>(dos.e_lfanew) + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                nt_.FileHeader.SizeOfOptionalHeader;
    return true;
  }
  const IMAGE_NT_HEADERS32& nt() const { return nt_; }

 private:
  DWORD OffsetIn(DWORD rva) const {
    for (WORD i = 0; i < nt_.FileHeader.NumberOfSections; ++i) {
      IMAGE_SECTION_HEADER section;
      if (!Read(sections_ + i * sizeof section, &section)) break;
      DWORD size = section.Misc.VirtualSize > 0 ? section.Misc.VirtualSize : section.SizeOfRawData;
      if (rva >= section.VirtualAddress && rva < section.VirtualAddress + size) {
        return rva - section.VirtualAddress + section.PointerToRawData;
      }
    }
    return 0xFFFFFFFF;
  }

  std::string bytes_;
  IMAGE_NT_HEADERS32 nt_{};
  DWORD sections_ = 0;
};

}  // namespace

std::vector<std::string> ImportsFrom(const std::wstring& path, const std::string& dll) {
  Image image(ReadFileBytes(path));
  std::vector<std::string> names;
  if (!image.Parse()) return names;
  DWORD table =
      image.nt().OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  IMAGE_IMPORT_DESCRIPTOR descriptor;
  for (DWORD at = image.OffsetOf(table); image.Read(at, &descriptor) && descriptor.Name != 0;
       at += sizeof descriptor) {
    if (lstrcmpiA(image.Text(image.OffsetOf(descriptor.Name)).c_str(), dll.c_str()) != 0) continue;
    DWORD thunks =
        descriptor.OriginalFirstThunk != 0 ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
    DWORD thunk = 0;
    for (DWORD t = image.OffsetOf(thunks); image.Read(t, &thunk) && thunk != 0; t += 4) {
      if (thunk & IMAGE_ORDINAL_FLAG32) {
        names.push_back("#" + std::to_string(thunk & 0xFFFF));
      } else {
        // IMAGE_IMPORT_BY_NAME: a two-byte hint, then the name.
        names.push_back(image.Text(image.OffsetOf(thunk) + 2));
      }
    }
  }
  return names;
}

}  // namespace driver
