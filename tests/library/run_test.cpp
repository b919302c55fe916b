// One run against the file system: the files it opens, the boxes it shows, the state it
// leaves, and the arguments it releases, whichever way it ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "framework/cstring.h"
#include "library/messages.h"
#include "library/quillon.h"
#include "library/run_state.h"
#include "runtime/system_calls.h"
#include "tests/cases/run_boxes.h"
#include "tests/library/failing_new.h"
#include "tests/support/linux_test_support.h"

namespace {

using cases::Box;
using cases::kFileError;
using cases::kInputMissing;
using cases::kOpening;
using cases::kOutputNotOpened;
using cases::kWriteFailed;
using testing_support::BoxRecorder;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::RunExport;
using testing_support::ScratchFolder;
using testing_support::StringBlocksOfState;
using testing_support::WriteFile;

class RunTest : public ::testing::Test {
 protected:
  void TearDown() override {
    crt::Sys() = crt::RealSystemCalls();
    FailStringAllocationsAfter(-1);
  }
  void Run(const std::string& input, const std::string& output,
           const quillon::ExclusionKeywords& keywords = {}) {
    RunExport(input, output, keywords);
  }
  ScratchFolder folder_;
};

TEST(MessageTexts, AreCodePage932Bytes) {
  EXPECT_STREQ(quillon::kTextSearchStarting,
               "\x83\x41\x83\x68\x83\x8c\x83\x58\x82\xcc\x8e\xe6\x93\xbe\x82\xf0\x8a\x4a\x8e\x6e"
               "\x82\xb5\x82\xdc\x82\xb7\x81\x42");
  EXPECT_STREQ(quillon::kCaptionInputMissing, "\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7\x81\x42");
}

// Opening the files.

TEST_F(RunTest, MissingInputLeavesAnEmptyOutputAndSaysSo) {
  WriteFile(folder_.Path("out.txt"), "old contents");
  BoxRecorder recorder;
  Run(folder_.Path("missing.htm"), folder_.Path("out.txt"));
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), "");
  EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kInputMissing}));
  EXPECT_STREQ(quillon::StatusText, quillon::kTextInputMissing);
  EXPECT_FALSE(quillon::OutputFileOpen);
}

std::vector<std::string> opened_paths;
int RecordingOpen(const char* path, int flags, mode_t mode) {
  opened_paths.push_back(path);
  return crt::RealSystemCalls().open(path, flags, mode);
}

TEST_F(RunTest, OutputThatIsAFolderStopsTheRunBeforeTheInputIsOpened) {
  std::filesystem::create_directory(folder_.Path("out.txt"));
  WriteFile(folder_.Path("page.htm"), "<a href=\"http://x.example/\">");
  opened_paths.clear();
  crt::Sys().open = RecordingOpen;
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kOutputNotOpened}));
  EXPECT_EQ(opened_paths, std::vector<std::string>{folder_.Path("out.txt")});
  EXPECT_EQ(quillon::OutputFile, -1);
}

TEST_F(RunTest, NewOutputFileIsWritable) {
  WriteFile(folder_.Path("page.htm"), "");
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("new.txt"));
  struct stat status;
  ASSERT_EQ(stat(folder_.Path("new.txt").c_str(), &status), 0);
  EXPECT_TRUE(status.st_mode & S_IWUSR);
}

TEST_F(RunTest, OutputThatIsThePageUnderAnyNameIsNotOpenedAndThePageIsKept) {
  const std::string page = "<a href=\"http://kept.example/\">x</a>";
  WriteFile(folder_.Path("both.htm"), page);
  ASSERT_EQ(link(folder_.Path("both.htm").c_str(), folder_.Path("hard.htm").c_str()), 0);
  ASSERT_EQ(symlink("both.htm", folder_.Path("soft.htm").c_str()), 0);
  for (const char* output : {"both.htm", "./both.htm", "hard.htm", "soft.htm"}) {
    BoxRecorder recorder;
    Run(folder_.Path("both.htm"), folder_.Path(output));
    EXPECT_EQ(ReadFile(folder_.Path("both.htm")), page) << output;
    EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kOutputNotOpened})) << output;
    EXPECT_FALSE(quillon::OutputFileOpen || quillon::InputFileOpen) << output;
  }
  // Another file with the same bytes is no obstacle.
  WriteFile(folder_.Path("copy.htm"), page);
  BoxRecorder recorder;
  Run(folder_.Path("both.htm"), folder_.Path("copy.htm"));
  EXPECT_EQ(ReadFile(folder_.Path("copy.htm")), "http://kept.example/\r\n");
  EXPECT_EQ(recorder.boxes(), std::vector<Box>{kOpening});
}

TEST_F(RunTest, EveryBoxHasYesNoButtonsAndNoOwner) {
  BoxRecorder recorder;
  Run(folder_.Path("missing.htm"), folder_.Path("out.txt"));
  ASSERT_EQ(recorder.boxes().size(), 2u);
  for (const Box& box : recorder.boxes()) {
    EXPECT_EQ(box.style, 4u);
    EXPECT_EQ(box.owner, nullptr);
  }
}

// What a run leaves behind.

TEST_F(RunTest, RunLeavesStatusAndClosesBothFiles) {
  WriteFile(folder_.Path("page.htm"), "<a href=\"http://a.example/\">x</a> tail");
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  EXPECT_STREQ(quillon::StatusText, quillon::kStatusInputEnded);
  EXPECT_STREQ(*quillon::CurrentUrl, "http://a.example/");
  EXPECT_FALSE(quillon::OutputFileOpen);
  EXPECT_FALSE(quillon::InputFileOpen);
  EXPECT_EQ(fcntl(quillon::InputFile, F_GETFD), -1);
  EXPECT_EQ(fcntl(quillon::OutputFile, F_GETFD), -1);
}

TEST_F(RunTest, PageEndingOnTheClosingQuoteEndsWithoutReadingAtTheEnd) {
  WriteFile(folder_.Path("page.htm"), "<a href=\"http://last.example/\"");
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), "http://last.example/\r\n");
  EXPECT_STREQ(quillon::StatusText, "\"");
  EXPECT_FALSE(quillon::OutputFileOpen);
}

TEST_F(RunTest, PageEndingOnAFailedAttemptsNulByteLeavesTheEmptyStatus) {
  // The attempt at "<" reads the last fifteen bytes and no further; the last one is NUL.
  WriteFile(folder_.Path("page.htm"), std::string("x<a href=\"http:/\0", 17));
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  EXPECT_EQ(quillon::StatusText.GetLength(), 0);
}

TEST_F(RunTest, TwoRunsInARowLeaveTheSameFile) {
  WriteFile(folder_.Path("page.htm"),
            "<a href=\"http://a.example/\"><a href=\"http://b.example\">");
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  std::string first = ReadFile(folder_.Path("out.txt"));
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), first);
  EXPECT_EQ(first, "http://a.example/\r\nhttp://b.example/\r\n");
  EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kOpening}));
}

// Failing files.

TEST_F(RunTest, OutputThatFailsEveryWriteReportsEachAddressAndReachesTheEnd) {
  WriteFile(folder_.Path("page.htm"),
            "<a href=\"http://1.example/\"><a href=\"http://yahoo.example/\">"
            "<a href=\"http://3.example/\">end");
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), "/dev/full", {"yahoo"});
  EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kWriteFailed, kWriteFailed}));
  EXPECT_STREQ(quillon::StatusText, quillon::kStatusInputEnded);
}

TEST_F(RunTest, ErrorNumberOfAFailedLastRecordStaysWithOrWithoutTheOutputBlock) {
  // The page ends on the closing quote of an address whose write fails: nothing is read after.
  WriteFile(folder_.Path("page.htm"),
            "<a href=\"http://a.example/\"><a href=\"http://b.example/\"");
  for (size_t smallest : {SIZE_MAX, size_t{64 * 1024}}) {  // the block, then plain writes
    BoxRecorder recorder;
    {
      testing_support::FailingNew no_block(smallest);
      Run(folder_.Path("page.htm"), "/dev/full");
    }
    EXPECT_STREQ(quillon::StatusText, std::to_string(ENOSPC).c_str()) << smallest;
    EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kWriteFailed, kWriteFailed}))
        << smallest;
  }
}

TEST_F(RunTest, FailedAddressWriteStillAttemptsItsLineEnd) {
  WriteFile(folder_.Path("page.htm"), "<a href=\"http://1.example/\">");
  testing_support::FailingWrites counted(testing_support::FailingWrites::kAll);
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), "/dev/full");
  // The block, then address and CR LF again piece by piece.
  EXPECT_EQ(counted.Attempts(), 3);
  EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kWriteFailed}));
}

TEST_F(RunTest, InputWhoseReadsFailIsReportedAndEndsTheRun) {
  WriteFile(folder_.Path("page.htm"), "<a href=\"http://never.example/\">");
  testing_support::FailingReads failing(0);
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kFileError}));
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), "");
  EXPECT_FALSE(quillon::OutputFileOpen);
}

TEST_F(RunTest, ReadFailingInsideAnAddressDropsItKeepsEarlierRecordsAndEnds) {
  // The first 55 bytes arrive, then reads fail: inside the second anchor's address.
  WriteFile(folder_.Path("page.htm"),
            "<a href=\"http://a.example/\">......"
            "<a href=\"http://b.example/long/path/\">");
  testing_support::FailingReads failing(1, 55);
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), "http://a.example/\r\n");
  EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kFileError}));
}

TEST_F(RunTest, PipeAsInputGivesItsRecordsThenTheFileError) {
  std::string fifo = folder_.Path("page.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&fifo] { WriteFile(fifo, "<a href=\"http://piped.example/\"> more"); });
  BoxRecorder recorder;
  Run(fifo, folder_.Path("out.txt"));
  writer.join();
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), "http://piped.example/\r\n");
  EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kFileError}));
}

off_t LyingSeek(int fd, off_t offset, int whence) {
  off_t result = crt::RealSystemCalls().lseek(fd, offset, whence);
  return whence == SEEK_END && result != -1 ? result + 4096 : result;
}

TEST_F(RunTest, FileWhoseLengthOverstatesItsBytesStillEnds) {
  WriteFile(folder_.Path("page.htm"), "<a href=\"http://a.example/\"> and <b>more</b>");
  crt::Sys().lseek = LyingSeek;
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  crt::Sys() = crt::RealSystemCalls();
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), "http://a.example/\r\n");
  EXPECT_EQ(recorder.boxes(), std::vector<Box>{kOpening});
  EXPECT_STREQ(quillon::StatusText, quillon::kStatusInputEnded);
}

TEST_F(RunTest, EndlessDeviceEndsAfterTheFirstAttempt) {
  BoxRecorder recorder;
  Run("/dev/zero", folder_.Path("out.txt"));
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), "");
  EXPECT_EQ(recorder.boxes(), std::vector<Box>{kOpening});
  EXPECT_STREQ(quillon::StatusText, "");
}

// The eight arguments are released on every way out.

void RunWithCountedArguments(const std::string& input, const std::string& output) {
  CString built[8] = {
      CString(input.c_str()), CString(output.c_str()), "kw1", "kw2", "kw3", "kw4", "kw5", "kw6"};
  testing_support::RunBuilt(built);
}

TEST_F(RunTest, ArgumentsAreReleasedOnEveryWayOut) {
  WriteFile(folder_.Path("page.htm"), "<a href=\"http://a.example/\">");
  std::filesystem::create_directory(folder_.Path("folder"));
  BoxRecorder recorder;
  struct Way {
    const char* name;
    std::string input, output;
  } ways[] = {
      {"normal end", folder_.Path("page.htm"), folder_.Path("out.txt")},
      {"output not opened", folder_.Path("page.htm"), folder_.Path("folder")},
      {"input missing", folder_.Path("missing.htm"), folder_.Path("out.txt")},
  };
  for (const Way& way : ways) {
    long before = LiveStringBlocks() - StringBlocksOfState();
    RunWithCountedArguments(way.input, way.output);
    EXPECT_EQ(LiveStringBlocks() - StringBlocksOfState(), before) << way.name;
  }
}

TEST_F(RunTest, AllocationFailureEndsTheRunWithOneBoxEverythingReleasedAndClosed) {
  std::string page;
  for (int i = 0; i < 20; ++i)
    page += "<a href=\"http://host" + std::to_string(i) + ".example/" +
            std::string(static_cast<size_t>(i * 20), 'p') + "\">";
  WriteFile(folder_.Path("page.htm"), page);
  std::string all;
  for (int i = 0; i < 20; ++i)
    all += "http://host" + std::to_string(i) + ".example/" +
           std::string(static_cast<size_t>(i * 20), 'p') + (i > 0 ? "/\r\n" : "\r\n");
  bool ran_out_once = false;
  for (long successes = 0; successes < 12; ++successes) {
    quillon::StatusText.Empty();
    quillon::CurrentUrl.reset();
    long before = LiveStringBlocks();
    BoxRecorder recorder;
    CString built[8] = {CString(folder_.Path("page.htm").c_str()),
                        CString(folder_.Path("out.txt").c_str()),
                        "",
                        "",
                        "",
                        "",
                        "",
                        ""};
    FailStringAllocationsAfter(successes);
    EXPECT_NO_THROW(testing_support::RunBuilt(built));
    FailStringAllocationsAfter(-1);
    EXPECT_EQ(LiveStringBlocks() - StringBlocksOfState(), before) << successes;
    EXPECT_FALSE(quillon::OutputFileOpen) << successes;
    EXPECT_FALSE(quillon::InputFileOpen) << successes;
    // Either the run had what it needed and wrote everything, or it says it ran out, after
    // whole records only.
    std::string written = ReadFile(folder_.Path("out.txt"));
    if (recorder.boxes() == std::vector<Box>{kOpening}) {
      EXPECT_EQ(written, all) << successes;
    } else {
      ran_out_once = true;
      EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, cases::kOutOfMemory})) << successes;
      EXPECT_TRUE(all.starts_with(written) && (written.empty() || written.ends_with("\r\n")))
          << successes;
    }
  }
  EXPECT_TRUE(ran_out_once);
}

}  // namespace
