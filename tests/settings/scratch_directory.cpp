#include "tests/settings/scratch_directory.h"

#include <fstream>
#include <iterator>
#include <random>

namespace quillon_test {

namespace fs = std::filesystem;

void ScratchDirectoryTest::SetUp() {
  previous_ = fs::current_path();
  std::random_device random;
  scratch_ = fs::temp_directory_path() / ("quillon-settings-" + std::to_string(random()));
  fs::create_directory(scratch_);
  fs::current_path(scratch_);
}

void ScratchDirectoryTest::TearDown() {
  fs::current_path(previous_);
  // Read-only files would keep Windows from removing the directory.
  for (const auto& entry : fs::directory_iterator(scratch_)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  }
  fs::remove_all(scratch_);
}

void ScratchDirectoryTest::WriteFile(const char* name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ScratchDirectoryTest::ReadFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ScratchDirectoryTest::MakeReadOnly(const char* name) {
  fs::permissions(name, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

}  // namespace quillon_test
