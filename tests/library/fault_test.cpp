// Runs against files that fail or are out of the ordinary: reads that fail part way through a
// page, paths that cannot be opened, a page beyond 4 GiB, and a thousand runs in a row that
// must leave no descriptor, string or heap memory behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <malloc.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "framework/cstring.h"
#include "framework/string_heap.h"
#include "library/messages.h"
#include "library/quillon.h"
#include "library/run_state.h"
#include "runtime/message_box.h"
#include "runtime/system_calls.h"
#include "tests/cases/run_boxes.h"
#include "tests/library/failing_new.h"
#include "tests/support/linux_test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define FAULT_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FAULT_TEST_ASAN 1
#endif
#endif

#ifdef FAULT_TEST_ASAN
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using cases::Box;
using cases::kFileError;
using cases::kInputMissing;
using cases::kOpening;
using cases::kOutputNotOpened;
using testing_support::BoxRecorder;
using testing_support::ReadFile;
using testing_support::RunExport;
using testing_support::ScratchFolder;
using testing_support::StringBlocksOfState;
using testing_support::WriteFile;

// The size of the reader's blocks in the ordinary build.
constexpr size_t kReadBlock = 128 * 1024;

// A page built piece by piece that knows where each of its anchors ends, so that what a run
// must have written before any byte of it can be worked out.
class Page {
 public:
  void Text(const std::string& text) { bytes_ += text; }
  // An anchor up to its closing quote. Addresses passed here end in "/", so the record is
  // the address as written.
  void Anchor(const std::string& address) {
    bytes_ += "<a href=\"http://" + address + "\"";
    ends_.push_back(bytes_.size());
    records_.push_back("http://" + address + "\r\n");
  }
  const std::string& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }
  // The records of the anchors whose closing quote stands before `offset`.
  std::string RecordsBefore(size_t offset) const {
    std::string records;
    for (size_t i = 0; i < ends_.size() && ends_[i] <= offset; ++i) records += records_[i];
    return records;
  }
  // A few bytes past the end of the first anchor that ends at or after `offset`: a place
  // between anchors.
  size_t GapAfter(size_t offset) const {
    return *std::lower_bound(ends_.begin(), ends_.end(), offset) + 3;
  }

 private:
  std::string bytes_;
  std::vector<size_t> ends_;
  std::vector<std::string> records_;
};

// A disk with a bad spot at `offset`: reads deliver the bytes before it and every read from
// there on fails with EIO; the one that reaches it comes back short or fails as a whole.
class BadSpot : public testing_support::FailingReads {
 public:
  BadSpot(size_t offset, Spot spot) : FailingReads(kAll, 0, static_cast<long long>(offset), spot) {}
};

std::vector<std::string> opened_paths;
int RecordingOpen(const char* path, int flags, mode_t mode) {
  opened_paths.push_back(path);
  return crt::RealSystemCalls().open(path, flags, mode);
}

class RunFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    crt::Sys() = crt::RealSystemCalls();
    FailStringAllocationsAfter(-1);
  }
  void Run(const std::string& input, const std::string& output) { RunExport(input, output); }

  // Runs over `page` with reads failing from `offset` on, both ways a bad spot can fail, and
  // checks that the records before it are written whole, the failure is reported once, and
  // StatusText holds the last byte read.
  void ExpectRunEndsAtBadSpot(const Page& page, size_t offset) {
    WriteFile(folder_.Path("page.htm"), page.bytes());
    for (BadSpot::Spot kind :
         {BadSpot::Spot::kReadComesBackShort, BadSpot::Spot::kWholeReadFails}) {
      int failed_reads;
      BoxRecorder recorder;
      {
        BadSpot bad_spot(offset, kind);
        Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
        failed_reads = bad_spot.Failures();
      }
      EXPECT_EQ(ReadFile(folder_.Path("out.txt")), page.RecordsBefore(offset));
      EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kFileError}));
      EXPECT_EQ(std::string(quillon::StatusText), page.bytes().substr(offset - 1, 1));
      // A failed block read is tried again in halves down to one byte, no further.
      EXPECT_GE(failed_reads, 1);
      EXPECT_LE(failed_reads, 20);
      EXPECT_FALSE(quillon::OutputFileOpen);
      EXPECT_FALSE(quillon::InputFileOpen);
    }
  }

  ScratchFolder folder_;
};

using FaultTest = RunFixture;

// Reads that fail part way through the page.

TEST_F(FaultTest, ReadFailingBetweenAnchorsKeepsTheRecordsBeforeIt) {
  Page page;
  page.Text("<html><body>\r\n<p>Links</p>\r\n");
  page.Anchor("one.example/");
  page.Text(">one</a>\r\n");
  page.Anchor("two.example/path/");
  const size_t after_quote = page.size();
  page.Text(">two</a>\r\n<p>text between the anchors</p>\r\n");
  const size_t in_text = page.size() - 12;
  const size_t paragraph = page.size();
  page.Text("<p>more</p>\r\n");
  const size_t third = page.size();
  page.Anchor("three.example/");
  page.Text(">three</a>\r\n</body></html>\r\n");

  const struct {
    const char* where;
    size_t offset;
  } spots[] = {
      {"just after an address's closing quote", after_quote},
      {"in the text between two anchors", in_text},
      {"on a '<' that opens no anchor", paragraph},
      {"just after a '<' that opens no anchor", paragraph + 1},
      {"on the '<' of the next anchor", third},
      {"inside the next anchor's opening", third + 8},
  };
  for (const auto& spot : spots) {
    SCOPED_TRACE(spot.where);
    ASSERT_EQ(page.RecordsBefore(spot.offset),
              "http://one.example/\r\nhttp://two.example/path/\r\n");
    ExpectRunEndsAtBadSpot(page, spot.offset);
  }
}

TEST_F(FaultTest, ReadFailingAfterTheFirstBlocksKeepsEveryRecordBeforeIt) {
  // Dense, long addresses: the records before the failure are more than one output block.
  Page page;
  for (int i = 0; page.size() < 3 * kReadBlock + kReadBlock / 2; ++i) {
    page.Anchor("host" + std::to_string(i) + ".example/" +
                std::string(static_cast<size_t>(200 + i % 150), 'p') + "/");
    page.Text(">link " + std::to_string(i) + "</a> <p>text</p>\r\n");
  }
  const struct {
    const char* where;
    size_t offset;
  } spots[] = {
      {"the second block read fails outright", kReadBlock},
      {"the second block read comes back short", page.GapAfter(kReadBlock + 1000)},
      {"the third block read fails outright", 2 * kReadBlock},
      {"the third block read comes back short", page.GapAfter(2 * kReadBlock + 5000)},
  };
  for (const auto& spot : spots) {
    SCOPED_TRACE(spot.where);
    ASSERT_GT(page.RecordsBefore(spot.offset).size(), 64u * 1024);
    ExpectRunEndsAtBadSpot(page, spot.offset);
  }
}

// Paths that cannot be opened, each as input and as output.

// `base` followed by folders of at most 200 characters, `length` characters in all.
std::string DeepFolder(const std::string& base, size_t length) {
  std::string path = base;
  while (path.size() < length) {
    size_t left = length - path.size();
    // The last folder takes what is left; the one before it leaves enough for a name.
    size_t part = left <= 201 ? left - 1 : left < 203 ? 100 : 200;
    path += "/" + std::string(part, 'd');
  }
  return path;
}

struct BadPath {
  const char* name;
  std::string path;
};

std::vector<BadPath> BadPaths(const ScratchFolder& folder) {
  std::filesystem::create_directory(folder.Path("folder"));
  // Linux takes paths of up to 4,095 bytes and names of up to 255.
  return {
      {"a folder", folder.Path("folder")},
      {"a file in a missing folder", folder.Path("no-such-folder/page.htm")},
      {"the empty path", ""},
      {"4,000 characters that do not exist",
       DeepFolder(folder.Path("missing"), 3991) + "/page.htm"},
      {"5,000 characters", DeepFolder(folder.path(), 4991) + "/page.htm"},
      {"a name of 300 characters", folder.Path(std::string(300, 'n'))},
  };
}

TEST_F(FaultTest, OutputThatCannotBeOpenedEndsTheRunBeforeTheInputIsOpened) {
  const std::string input = folder_.Path("page.htm");
  WriteFile(input, "<a href=\"http://x.example/\">");
  for (const BadPath& bad : BadPaths(folder_)) {
    SCOPED_TRACE(bad.name);
    opened_paths.clear();
    crt::Sys().open = RecordingOpen;
    BoxRecorder recorder;
    Run(input, bad.path);
    crt::Sys() = crt::RealSystemCalls();
    EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kOutputNotOpened}));
    EXPECT_EQ(std::count(opened_paths.begin(), opened_paths.end(), input), 0);
    EXPECT_EQ(quillon::OutputFile, -1);
    EXPECT_FALSE(quillon::OutputFileOpen);
    std::error_code ignored;
    EXPECT_FALSE(std::filesystem::is_regular_file(bad.path, ignored));
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder_.Path("folder")));
}

TEST_F(FaultTest, InputThatCannotBeOpenedLeavesAnEmptyOutput) {
  const std::string output = folder_.Path("out.txt");
  for (const BadPath& bad : BadPaths(folder_)) {
    SCOPED_TRACE(bad.name);
    WriteFile(output, "http://old.example/\r\n");
    BoxRecorder recorder;
    Run(bad.path, output);
    EXPECT_EQ(recorder.boxes(), (std::vector<Box>{kOpening, kInputMissing}));
    EXPECT_EQ(ReadFile(output), "");
    EXPECT_STREQ(quillon::StatusText, quillon::kTextInputMissing);
    EXPECT_FALSE(quillon::OutputFileOpen);
    EXPECT_FALSE(quillon::InputFileOpen);
  }
}

// The first reads of the page fail, until the reader's pieces are two bytes; all later ones
// succeed.
int reads_made = 0;
ssize_t FirstReadsFail(int fd, void* buffer, size_t count) {
  if (reads_made++ < 16) {
    errno = EIO;
    return -1;
  }
  return crt::RealSystemCalls().read(fd, buffer, count);
}

TEST_F(FaultTest, ReadsGrowBackToWholeBlocksOnceTheyRecover) {
  Page page;
  for (int i = 0; page.size() < 3 * kReadBlock; ++i) {
    page.Anchor("recovered.example/" + std::to_string(i) + "/");
    page.Text(std::string(200, '.'));
  }
  WriteFile(folder_.Path("page.htm"), page.bytes());
  reads_made = 0;
  crt::Sys().read = FirstReadsFail;
  BoxRecorder recorder;
  Run(folder_.Path("page.htm"), folder_.Path("out.txt"));
  crt::Sys() = crt::RealSystemCalls();
  EXPECT_EQ(ReadFile(folder_.Path("out.txt")), page.RecordsBefore(page.size()));
  EXPECT_EQ(recorder.boxes(), std::vector<Box>{kOpening});
  // Pieces of two bytes all the way would take nearly 200,000 reads.
  EXPECT_LT(reads_made, 100);
}

std::string Utf8(std::u8string_view text) {
  return std::string(text.begin(), text.end());
}

// Memory that runs out around the run's own boxes: the user is told all the same, on standard
// error where no box can be shown.
TEST_F(FaultTest, MemoryRunningOutAroundTheBoxesIsNeverSilent) {
  const std::string page = folder_.Path("page.htm"), output = folder_.Path("out.txt");
  WriteFile(page, "<a href=\"http://a.example/\">");
  const std::string opening = Utf8(u8"[ERROR] アドレスの取得を開始します。\n");
  const std::string out_of_memory = Utf8(u8"[QUILLON] メモリが不足しています。\n");
  const struct {
    const char* name;
    long string_allocations;  // that succeed; -1: all
    bool presenter_needs_memory;
    std::string shown;
    std::string written;
  } cases[] = {
      {"no operator new", -1, false, opening, "http://a.example/\r\n"},
      {"nor string memory", 0, false, opening + out_of_memory, ""},
      {"a presenter that needs memory", -1, true, out_of_memory, "<missing>"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(output);
    quillon::StatusText.Empty();
    crt::MessagePresenter previous = crt::SetMessagePresenter(
        c.presenter_needs_memory
            ? crt::MessagePresenter(
                  [](const char*, const char*, unsigned, void*) -> int { throw std::bad_alloc(); })
            : crt::MessagePresenter());
    testing::internal::CaptureStderr();
    {
      testing_support::FailingNew no_heap;
      FailStringAllocationsAfter(c.string_allocations);
      Run(page, output);
      FailStringAllocationsAfter(-1);
    }
    const std::string shown = testing::internal::GetCapturedStderr();
    crt::SetMessagePresenter(std::move(previous));
    EXPECT_EQ(shown, c.shown) << c.name;
    EXPECT_EQ(ReadFile(output), c.written) << c.name;
    EXPECT_FALSE(quillon::OutputFileOpen) << c.name;
  }
}

TEST_F(FaultTest, PageAndOutputFourThousandCharactersDeepAreReadAndWritten) {
  const std::string folder = DeepFolder(folder_.path(), 3991);
  ASSERT_TRUE(std::filesystem::create_directories(folder));
  const std::string input = folder + "/page.htm";
  const std::string output = folder + "/out.txt";
  ASSERT_EQ(input.size(), 4000u);
  WriteFile(input, "<p><a href=\"http://deep.example/\">deep</a> <a HREF=\"http://x.example/a\">");
  WriteFile(output, "old");
  BoxRecorder recorder;
  Run(input, output);
  EXPECT_EQ(ReadFile(output), "http://deep.example/\r\nhttp://x.example/a/\r\n");
  EXPECT_EQ(recorder.boxes(), std::vector<Box>{kOpening});
  EXPECT_FALSE(quillon::InputFileOpen);
}

// A page larger than 4 GiB: positions past 2 GiB and 4 GiB must neither wrap nor turn
// negative, when reading, when moving back inside a block or across one, and when testing
// for the end.

// Where the sparse page goes: a memory file system where there is one, which reads holes
// without caching anything (4 GiB in a fraction of a second). A disk file system first fills
// 4 GiB of its cache with zeroed pages: 0.6 to 7.6 seconds here, depending on how much memory
// must be freed for them. Else the usual temporary folder.
std::string FolderForSparseFiles() {
  struct statfs status;
  if (statfs("/dev/shm", &status) == 0 && status.f_type == TMPFS_MAGIC &&
      access("/dev/shm", W_OK | X_OK) == 0)
    return "/dev/shm";
  return std::filesystem::temp_directory_path().string();
}

// Block mode only: plain mode makes one read per byte, and 4 GiB of them would take hours.
TEST(LargePageTest, AnchorsAroundTwoAndFourGiBAndBeyondAreAllFoundInOrder) {
  ScratchFolder folder(FolderForSparseFiles());
  const std::string path = folder.Path("large.htm");
  constexpr long long kTwoGiB = 1LL << 31;
  constexpr long long kFourGiB = 1LL << 32;
  constexpr long long kBlock = static_cast<long long>(kReadBlock);
  constexpr long long kSize = kFourGiB + (1 << 20);
  const std::string kLast = "<a href=\"http://last.example/\">";
  // The rest of the file is holes, which read as NUL bytes.
  const struct {
    long long offset;
    std::string bytes;
  } placed[] = {
      {100, "<a href=\"http://first.example/\">"},
      // Ends a few bytes before 2 GiB.
      {kTwoGiB - 42, "<a href=\"http://before-2g.example/\">"},
      {kTwoGiB - 6, "<a href=\"http://across-2g.example/\">"},
      // The first attempt fails across a block edge and moves back onto the second "<".
      {kTwoGiB + kBlock - 8, "<b<a href=\"http://moved-back-2g.example/\">"},
      // The address runs over 3 GiB.
      {3 * (kTwoGiB / 2) - 100,
       "<a href=\"http://across-3g.example/" + std::string(200, 'p') + "/\">"},
      {kFourGiB - 9, "<A HREF=\"HTTP://across-4g.example/\">"},
      {kFourGiB + 12345, "<a href=\"http://beyond-4g.example/\">"},
      {kFourGiB + kBlock - 8, "<b<a href=\"http://moved-back-4g.example/\">"},
      // Moving back lands behind the second "<", so this anchor is not found.
      {kFourGiB + 2 * kBlock - 1, "<<a href=\"http://hidden.example/\">"},
      {kSize - static_cast<long long>(kLast.size()), kLast},
  };

  int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0600);
  ASSERT_NE(fd, -1) << std::strerror(errno);
  if (ftruncate(fd, kSize) != 0) {
    int error = errno;
    close(fd);
    GTEST_SKIP() << "the file system refuses a sparse file of " << kSize
                 << " bytes: " << std::strerror(error);
  }
  for (const auto& piece : placed) {
    if (pwrite(fd, piece.bytes.data(), piece.bytes.size(), piece.offset) !=
        static_cast<ssize_t>(piece.bytes.size())) {
      int error = errno;
      close(fd);
      GTEST_SKIP() << "the file system refuses a write at " << piece.offset << ": "
                   << std::strerror(error);
    }
  }
  ASSERT_EQ(close(fd), 0);

  BoxRecorder recorder;
  RunExport(path, folder.Path("out.txt"));
  EXPECT_EQ(ReadFile(folder.Path("out.txt")),
            "http://first.example/\r\n"
            "http://before-2g.example/\r\n"
            "http://across-2g.example/\r\n"
            "http://moved-back-2g.example/\r\n"
            "http://across-3g.example/" +
                std::string(200, 'p') +
                "/\r\n"
                "http://across-4g.example/\r\n"
                "http://beyond-4g.example/\r\n"
                "http://moved-back-4g.example/\r\n"
                "http://last.example/\r\n");
  EXPECT_EQ(recorder.boxes(), std::vector<Box>{kOpening});
  EXPECT_STREQ(quillon::StatusText, quillon::kStatusInputEnded);
  EXPECT_FALSE(quillon::OutputFileOpen);
  EXPECT_FALSE(quillon::InputFileOpen);
}

// A thousand runs in one process leave nothing behind.

int OpenDescriptors() {
  DIR* folder = opendir("/proc/self/fd");
  if (folder == nullptr) return -1;
  int count = 0;
  while (readdir(folder) != nullptr) ++count;
  closedir(folder);
  return count;
}

// Heap bytes handed out and not given back. AddressSanitizer replaces malloc, and glibc's
// mallinfo2 then sees only glibc's own, unused heap: under it the sanitizer's count is used.
size_t HeapBytesInUse() {
#ifdef FAULT_TEST_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

class ThousandRuns : public FaultTest {
 protected:
  enum Way { kRecords, kMissingInput, kOutputFolder, kOutputFull, kReadFails, kOutOfMemory };
  static constexpr int kWays = 6;

  void SetUp() override {
    FaultTest::SetUp();
    for (int i = 0; i < 3; ++i) {
      page_.Anchor("host" + std::to_string(i) + ".example/dir/");
      page_.Text(">link</a> <p>text</p>\r\n");
    }
    WriteFile(folder_.Path("page.htm"), page_.bytes());
    std::filesystem::create_directory(folder_.Path("folder"));
    // Counted, not recorded: a growing list of boxes would itself look like a leak.
    previous_ = crt::SetMessagePresenter([this](const char*, const char*, unsigned, void*) {
      ++boxes_;
      return crt::IDNO;
    });
  }
  void TearDown() override {
    crt::SetMessagePresenter(previous_);
    FaultTest::TearDown();
  }

  // One call of the export with arguments built by the framework's strings, so that the
  // string blocks they take are counted here as they are released in the run. With
  // `allocations` of 0 or more, string allocations fail after that many more.
  void Run(const std::string& input, const std::string& output, long allocations = -1) {
    CString built[8] = {CString(input.c_str()), CString(output.c_str()), "", "", "", "", "", ""};
    FailStringAllocationsAfter(allocations);
    testing_support::RunBuilt(built);
    FailStringAllocationsAfter(-1);
  }

  // One run that ends the given way; an empty result, or what went wrong.
  std::string RunOnce(Way way) {
    const std::string page = folder_.Path("page.htm");
    const std::string out = folder_.Path("out.txt");
    const std::string all = page_.RecordsBefore(page_.size());
    boxes_ = 0;
    switch (way) {
      case kRecords:
        Run(page, out);
        return Expect(1, ReadFile(out) == all);
      case kMissingInput:
        Run(folder_.Path("missing.htm"), out);
        return Expect(2, ReadFile(out).empty());
      case kOutputFolder:
        Run(page, folder_.Path("folder"));
        return Expect(2, true);
      case kOutputFull:
        Run(page, "/dev/full");
        return Expect(4, true);
      case kReadFails: {
        size_t offset = page_.GapAfter(page_.size() / 2);
        {
          BadSpot bad_spot(offset, BadSpot::Spot::kWholeReadFails);
          Run(page, out);
        }
        return Expect(2, ReadFile(out) == page_.RecordsBefore(offset));
      }
      case kOutOfMemory: {
        // With the state's strings let go, the run must allocate again part way through.
        quillon::StatusText.Empty();
        quillon::CurrentUrl.reset();
        Run(page, out, kAllocationsBeforeFailure);
        // Whole records only, and the box that says why the run ended.
        std::string written = ReadFile(out);
        return Expect(2,
                      all.starts_with(written) && (written.empty() || written.ends_with("\r\n")));
      }
    }
    return "unknown way";
  }

  std::string Expect(int boxes, bool output_right) const {
    if (boxes_ != boxes) return std::to_string(boxes_) + " boxes";
    if (!output_right) return "wrong output";
    if (quillon::OutputFileOpen || quillon::InputFileOpen) return "a file left open";
    return "";
  }

  // Enough for the run's first status strings, not for its first address.
  static constexpr long kAllocationsBeforeFailure = 2;

  Page page_;
  int boxes_ = 0;
  crt::MessagePresenter previous_;
};

TEST_F(ThousandRuns, LeaveNoDescriptorStringOrHeapMemoryBehind) {
  // A first round makes whatever the library and the C library make once.
  for (int way = 0; way < kWays; ++way)
    ASSERT_EQ(RunOnce(static_cast<Way>(way)), "") << "way " << way;
  const int descriptors = OpenDescriptors();
  const long blocks = LiveStringBlocks() - StringBlocksOfState();
  const size_t heap = HeapBytesInUse();
  ASSERT_GT(descriptors, 0);

  // 167 rounds of the six ways: 1,002 runs.
  for (int run = 0; run < 167 * kWays; ++run) {
    std::string problem = RunOnce(static_cast<Way>(run % kWays));
    if (!problem.empty()) FAIL() << "run " << run << ": " << problem;
  }

  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(LiveStringBlocks() - StringBlocksOfState(), blocks);
  // glibc may show a few hundred bytes more after the first round (its per-thread cache of
  // freed blocks counts as in use; 640 bytes have been seen). A leak of even its smallest
  // block (32 bytes) in only one of the six ways adds 167 * 32 = 5,344 bytes. The sanitizer
  // counts the bytes asked for, with no cache in between (no growth seen): there a leak of 7
  // bytes in one way shows.
#ifdef FAULT_TEST_ASAN
  constexpr size_t kSlack = 1024;
#else
  constexpr size_t kSlack = 4096;
#endif
  size_t now = HeapBytesInUse();
  EXPECT_LE(now, heap + kSlack) << "grew by " << (now - heap) << " bytes";
}

}  // namespace
