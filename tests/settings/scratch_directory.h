#pragma once
// Runs each test in a fresh empty directory of its own, since the settings file's name is
// fixed and relative; removes it afterwards.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace quillon_test {

class ScratchDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static void WriteFile(const char* name, const std::string& bytes);
  // The file's bytes; "<missing>" when there is no such file.
  static std::string ReadFile(const char* name);
  static void MakeReadOnly(const char* name);

 private:
  std::filesystem::path previous_;
  std::filesystem::path scratch_;
};

}  // namespace quillon_test
