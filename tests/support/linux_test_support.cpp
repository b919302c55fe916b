#include "tests/support/linux_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "library/export.h"
#include "library/run_state.h"

namespace testing_support {

ScratchFolder::ScratchFolder() : ScratchFolder(std::filesystem::temp_directory_path().string()) {}

ScratchFolder::ScratchFolder(const std::string& parent) {
  std::string pattern = parent + "/quillon-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  // Folders made read-only by a test must be writable again to be removed.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  return std::filesystem::exists(path);
}

namespace {

bool HoldsBuffer(CString& text) {
  char* characters = text.Detach();
  text = CString::Attach(characters);
  return characters != nullptr;
}

}  // namespace

long StringBlocksOfState() {
  return (HoldsBuffer(quillon::StatusText) ? 1 : 0) +
         (quillon::CurrentUrl && HoldsBuffer(*quillon::CurrentUrl) ? 1 : 0);
}

void RunExport(const std::string& input, const std::string& output,
               const quillon::ExclusionKeywords& keywords) {
  auto make = [](const std::string& s) {
    return QuillonMakeString(s.data(), static_cast<int>(s.size()));
  };
  quillon::SearchAddresses({make(input), make(output), make(keywords[0]), make(keywords[1]),
                            make(keywords[2]), make(keywords[3]), make(keywords[4]),
                            make(keywords[5])});
}

void RunBuilt(CString (&built)[8]) {
  QuillonString handed[8];
  for (int i = 0; i < 8; ++i) handed[i].characters = built[i].Detach();
  quillon::SearchAddresses(handed);
}

}  // namespace testing_support
