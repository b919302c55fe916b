// The Linux stand-in for the Windows low-level file functions.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "runtime/lowio.h"
#include "tests/support/linux_test_support.h"

namespace {

using namespace crt;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

TEST(LowIoTest, FlagValuesAreTheWindowsOnes) {
  EXPECT_EQ(_O_BINARY | _O_TRUNC | _O_CREAT | _O_RDWR, 0x8302);
  EXPECT_EQ(_O_BINARY | _O_RDONLY, 0x8000);
  EXPECT_EQ(_S_IWRITE, 0x80);
}

TEST(LowIoTest, CreateTruncateAndPermission) {
  ScratchFolder folder;
  WriteFile(folder.Path("old"), "previous");
  int handle = _open(folder.Path("old").c_str(), 0x8302, _S_IWRITE);
  ASSERT_NE(handle, -1);
  EXPECT_EQ(_write(handle, "ab", 2), 2);
  EXPECT_EQ(_close(handle), 0);
  EXPECT_EQ(ReadFile(folder.Path("old")), "ab");

  struct stat status;
  int readonly = _open(folder.Path("ro").c_str(), _O_CREAT | _O_RDWR, _S_IREAD);
  ASSERT_NE(readonly, -1);
  _close(readonly);
  ASSERT_EQ(stat(folder.Path("ro").c_str(), &status), 0);
  EXPECT_FALSE(status.st_mode & S_IWUSR);
}

TEST(LowIoTest, OpenFailures) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.Path("dir"));
  errno = 0;
  EXPECT_EQ(_open(folder.Path("dir").c_str(), _O_BINARY | _O_RDONLY), -1);
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(_open(folder.Path("dir").c_str(), 0x8302, _S_IWRITE), -1);
  EXPECT_EQ(_open(folder.Path("missing").c_str(), _O_BINARY | _O_RDONLY), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST(LowIoTest, ReadSeekAndEndOfFile) {
  ScratchFolder folder;
  WriteFile(folder.Path("f"), "xyz");
  int handle = _open(folder.Path("f").c_str(), _O_BINARY | _O_RDONLY);
  ASSERT_NE(handle, -1);
  char byte;
  EXPECT_EQ(_eof(handle), 0);
  EXPECT_EQ(_read(handle, &byte, 1), 1);
  EXPECT_EQ(_lseek(handle, 2, SEEK_CUR), 3);
  EXPECT_EQ(_eof(handle), 1);
  EXPECT_EQ(_read(handle, &byte, 1), 0);
  EXPECT_EQ(_lseek(handle, -14, SEEK_CUR), -1);  // before the start: fails, stays
  EXPECT_EQ(_lseek(handle, 0, SEEK_CUR), 3);
  EXPECT_EQ(_close(handle), 0);
  EXPECT_EQ(_eof(handle), -1);
  EXPECT_EQ(_close(handle), -1);
  EXPECT_EQ(_read(handle, &byte, 1), -1);
}

TEST(LowIoTest, ItoaLikeTheWindowsRunTime) {
  struct {
    int value, radix;
    const char* expected;
  } const cases[] = {
      {0, 10, "0"},    {28, 10, "28"},       {-5, 10, "-5"}, {-2147483647 - 1, 10, "-2147483648"},
      {255, 16, "ff"}, {-1, 16, "ffffffff"}, {5, 2, "101"},  {35, 36, "z"},
  };
  for (const auto& c : cases) {
    char buffer[40];
    EXPECT_STREQ(_itoa(c.value, buffer, c.radix), c.expected) << c.value << " base " << c.radix;
  }
}

}  // namespace
