// Loading and saving the seven settings, with every box recorded.
#include "library/settings_file.h"

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/platform.h"
#include "library/run_state.h"
#include "tests/settings/scratch_directory.h"
#include "tests/settings/test_seams.h"

namespace quillon_test {
namespace {

using quillon::LoadSettings;
using quillon::SaveSettings;

constexpr char kFile[] = "CGet_home_Ini.ini";
constexpr unsigned kYesNo = 4;
using Values = std::array<std::string, 7>;

CString* const kSettings[] = {&quillon::Setting1, &quillon::Setting2, &quillon::Setting3,
                              &quillon::Setting4, &quillon::Setting5, &quillon::Setting6,
                              &quillon::Setting7};

void SetValues(const Values& values) {
  for (int i = 0; i < 7; ++i) *kSettings[i] = CString(values[i].data(), int(values[i].size()));
}

Values CurrentValues() {
  Values values;
  for (int i = 0; i < 7; ++i) {
    values[i] = std::string(kSettings[i]->GetString(), size_t(kSettings[i]->GetLength()));
  }
  return values;
}

std::string Status() {
  return std::string(quillon::StatusText.GetString(), size_t(quillon::StatusText.GetLength()));
}

const Values kOld = {"old1", "old2", "old3", "old4", "old5", "old6", "old7"};

class SettingsFileTest : public ScratchDirectoryTest {
 protected:
  void SetUp() override {
    ScratchDirectoryTest::SetUp();
    SetValues(kOld);
    quillon::StatusText = "before";
  }

  // Makes the file read-only; false when the platform lets this user write it all the same
  // (Wine run by root does), so that read-only cases cannot be checked here.
  static bool MakeReadOnlyForWriters(const char* name) {
    using namespace quillon;
    MakeReadOnly(name);
    int handle = _open(name, _O_RDWR | _O_BINARY);
    if (handle == -1) return true;
    _close(handle);
    return false;
  }
};

// Loading: every byte read shows up as a box of its own, in file order; the values come from
// the lines; values without a line keep what they held.
struct LoadCase {
  const char* name;
  std::string file;
  Values expected;
};
void PrintTo(const LoadCase& test, std::ostream* out) {
  *out << test.name;
}

const LoadCase kLoadCases[] = {
    {"SevenLinesCrLf", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n", {"a", "b", "c", "d", "e", "f", "g"}},
    {"SevenLinesLf", "a\nb\nc\nd\ne\nf\ng\n", {"a", "b", "c", "d", "e", "f", "g"}},
    {"CrInsideLine", "ab\rcd\nx\n", {"abcd", "x", "old3", "old4", "old5", "old6", "old7"}},
    {"LineOfOnlyCrLf", "\r\nx\r\n", {"", "x", "old3", "old4", "old5", "old6", "old7"}},
    {"NineLines", "1\n2\n3\n4\n5\n6\n7\n8\n9\n", {"1", "2", "3", "4", "5", "6", "7"}},
    {"ThreeLines",
     "one\r\ntwo\r\nthree\r\n",
     {"one", "two", "three", "old4", "old5", "old6", "old7"}},
    {"DoubleByteCharacter",
     "\x82\xa0z\r\n",
     {"\x82\xa0z", "old2", "old3", "old4", "old5", "old6", "old7"}},
    {"NulByteAddsNothing",
     std::string("a\0b\n", 4),
     {"ab", "old2", "old3", "old4", "old5", "old6", "old7"}},
    // The file's end finishes a line as an LF would; a line with bytes is stored...
    {"LastLineWithoutLf", "a\nbc", {"a", "bc", "old3", "old4", "old5", "old6", "old7"}},
    {"LastLineOnlyCr", "a\n\r", {"a", "", "old3", "old4", "old5", "old6", "old7"}},
    // ...a line with none is not there at all.
    {"EmptyFile", "", kOld},
};

class LoadTest : public SettingsFileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, StoresLinesAndShowsEachByte) {
  const LoadCase& test = GetParam();
  WriteFile(kFile, test.file);
  BoxRecorder recorder;
  LoadSettings();

  EXPECT_EQ(CurrentValues(), test.expected);
  EXPECT_EQ(Status(), "初期値ロードＯＫ");
  ASSERT_EQ(recorder.boxes().size(), test.file.size());
  for (size_t i = 0; i < test.file.size(); ++i) {
    const Box& box = recorder.boxes()[i];
    SCOPED_TRACE("byte " + std::to_string(i));
    EXPECT_EQ(box.text, test.file[i] == '\0' ? std::string() : test.file.substr(i, 1));
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.style, kYesNo);
    EXPECT_EQ(box.owner, nullptr);
  }
  EXPECT_EQ(ReadFile(kFile), test.file) << "a load leaves the file alone";
}

INSTANTIATE_TEST_SUITE_P(Files, LoadTest, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A file that cannot be opened for reading and writing: the end-of-file test fails, which
// is the one box, and the load ends as usual.
TEST_F(SettingsFileTest, MissingFileShowsFileErrorAndEnds) {
  BoxRecorder recorder;
  LoadSettings();
  ASSERT_EQ(recorder.boxes().size(), 1u);
  EXPECT_EQ(recorder.boxes()[0].text, "ファイルエラーが発生しました。");
  EXPECT_EQ(recorder.boxes()[0].caption, "ERROR");
  EXPECT_EQ(recorder.boxes()[0].style, kYesNo);
  EXPECT_EQ(CurrentValues(), kOld);
  EXPECT_EQ(Status(), "初期値ロードＯＫ");
}

TEST_F(SettingsFileTest, ReadOnlyFileLoadsLikeMissingOne) {
  WriteFile(kFile, "a\nb\n");
  if (!MakeReadOnlyForWriters(kFile)) GTEST_SKIP() << "read-only files are writable here";
  BoxRecorder recorder;
  LoadSettings();
  ASSERT_EQ(recorder.boxes().size(), 1u);
  EXPECT_EQ(recorder.boxes()[0].text, "ファイルエラーが発生しました。");
  EXPECT_EQ(CurrentValues(), kOld);
}

// A read that fails inside a line ends the load there, though the file goes on.
TEST_F(SettingsFileTest, FailedReadEndsLoad) {
  WriteFile(kFile, "abc\ndef\n");
  BoxRecorder recorder;
  {
    FailingReads failing(2);
    LoadSettings();
    EXPECT_EQ(failing.Attempts(), 3);
  }
  EXPECT_EQ(recorder.boxes().size(), 2u);
  EXPECT_EQ(CurrentValues(), (Values{"ab", "old2", "old3", "old4", "old5", "old6", "old7"}));
  EXPECT_EQ(Status(), "初期値ロードＯＫ");
}

TEST_F(SettingsFileTest, ReadSettingsCharShowsByteAndIsSilentAtEnd) {
  WriteFile(kFile, "q");
  BoxRecorder recorder;
  using namespace quillon;
  SettingsFile = _open(kFile, _O_RDWR | _O_BINARY);
  EXPECT_STREQ(quillon::ReadSettingsChar().GetString(), "q");
  EXPECT_EQ(Status(), "q");
  EXPECT_EQ(quillon::ReadSettingsChar().GetLength(), 0);
  EXPECT_EQ(Status(), "q");
  ASSERT_EQ(recorder.boxes().size(), 1u);
  EXPECT_EQ(recorder.boxes()[0].text, "q");
  _close(SettingsFile);
}

// Saving: each value and CR LF, nothing else, then the one box that says so.
TEST_F(SettingsFileTest, SevenEmptyValuesSaveAsFourteenBytes) {
  SetValues({});
  BoxRecorder recorder;
  SaveSettings();
  EXPECT_EQ(ReadFile(kFile), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  ASSERT_EQ(recorder.boxes().size(), 1u);
  EXPECT_EQ(recorder.boxes()[0].text, "＊＊ 初期化ファイルを書出しました。 ＊＊");
  EXPECT_EQ(recorder.boxes()[0].caption, "ＯＫ");
  EXPECT_EQ(recorder.boxes()[0].style, kYesNo);
  EXPECT_EQ(recorder.boxes()[0].owner, nullptr);
  EXPECT_EQ(Status(), "before") << "a save leaves StatusText alone";
}

TEST_F(SettingsFileTest, SaveThenLoadRestoresValues) {
  const Values saved = {"link.htm", "out.txt", "日本語 text", "", "a b", "\x82\xa0", "seven"};
  WriteFile(kFile, std::string(100, 'x'));  // emptied, not overwritten in place
  SetValues(saved);
  BoxRecorder recorder;
  SaveSettings();
  EXPECT_EQ(ReadFile(kFile),
            "link.htm\r\nout.txt\r\n日本語 text\r\n\r\na b\r\n\x82\xa0\r\nseven\r\n");
  SetValues(kOld);
  LoadSettings();
  EXPECT_EQ(CurrentValues(), saved);
}

// A settings file that cannot be opened for writing gets its box and stays as it was.
void ExpectNotSaved(const BoxRecorder& recorder) {
  ASSERT_EQ(recorder.boxes().size(), 1u);
  EXPECT_EQ(recorder.boxes()[0].text, "初期化ファイルが開けない");
  EXPECT_EQ(recorder.boxes()[0].caption, "ERROR");
  EXPECT_EQ(recorder.boxes()[0].style, kYesNo);
  EXPECT_EQ(recorder.boxes()[0].owner, nullptr);
}

TEST_F(SettingsFileTest, ReadOnlyFileIsNotSaved) {
  WriteFile(kFile, "keep\r\n");
  if (!MakeReadOnlyForWriters(kFile)) GTEST_SKIP() << "read-only files are writable here";
  BoxRecorder recorder;
  SaveSettings();
  ExpectNotSaved(recorder);
  EXPECT_EQ(ReadFile(kFile), "keep\r\n");
}

TEST_F(SettingsFileTest, FolderInPlaceOfFileIsNotSaved) {
  std::filesystem::create_directory(kFile);
  BoxRecorder recorder;
  SaveSettings();
  ExpectNotSaved(recorder);
  EXPECT_TRUE(std::filesystem::is_directory(kFile));
}

// The first failed write ends the save: earlier lines stay, no box.
TEST_F(SettingsFileTest, FailedWriteStopsSilently) {
  SetValues({"1", "2", "3", "4", "5", "6", "7"});
  BoxRecorder recorder;
  {
    FailingWrites failing(2);
    SaveSettings();
    EXPECT_EQ(failing.Attempts(), 3);
  }
  EXPECT_TRUE(recorder.boxes().empty());
  EXPECT_EQ(ReadFile(kFile), "1\r\n2\r\n");
}

}  // namespace
}  // namespace quillon_test
