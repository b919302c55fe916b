// Buffered records on a disk that fills up: block mode must leave the same bytes and show the
// same boxes as writing each piece on its own, wherever the disk runs out.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include <optional>
#include <utility>

#include "library/record_output.h"
#include "runtime/lowio.h"
#include "runtime/system_calls.h"
#include "tests/cases/run_boxes.h"
#include "tests/support/linux_test_support.h"

namespace {

using testing_support::BoxRecorder;
using testing_support::ReadFile;
using testing_support::RunExport;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

struct Outcome {
  std::string file;
  std::vector<cases::Box> boxes;
};

Outcome RunOnSmallDisk(const ScratchFolder& folder, long room) {
  BoxRecorder recorder;
  {
    // A disk with `room` bytes free: writes fall short, then fail.
    testing_support::FailingWrites small_disk(testing_support::FailingWrites::kAll, room);
    RunExport(folder.Path("page.htm"), folder.Path("out.txt"));
  }
  return Outcome{ReadFile(folder.Path("out.txt")), recorder.boxes()};
}

TEST(RecordOutputTest, FullDiskAnywhereGivesTheSameFileAndBoxesAsPieceByPiece) {
  ScratchFolder folder;
  std::string page;
  for (int i = 0; i < 6; ++i)
    page += "<a href=\"http://h" + std::to_string(i) + ".example/\">x</a>";
  WriteFile(folder.Path("page.htm"), page);
  std::string all;
  for (int i = 0; i < 6; ++i) all += "http://h" + std::to_string(i) + ".example/\r\n";
  // Records are 20 bytes each (18 + CR LF); try every amount of room up to all of them.
  for (long room = 0; room <= 6 * 20 + 1; ++room) {
    Outcome block = RunOnSmallDisk(folder, room);
    // Written piece by piece, an address fails when the disk was full before it.
    std::vector<cases::Box> boxes = cases::OpeningOnly();
    for (long start = 0; start < 120; start += 20) {
      if (start >= room) boxes.push_back(cases::kWriteFailed);
    }
    EXPECT_EQ(block.file, all.substr(0, static_cast<size_t>(room))) << "room " << room;
    EXPECT_EQ(block.boxes, boxes) << "room " << room;
  }
}

TEST(RecordOutputTest, ManyRecordsFillSeveralBlocks) {
  ScratchFolder folder;
  std::string page, expected;
  for (int i = 0; i < 20000; ++i) {
    std::string address = "http://block.example/" + std::to_string(i) + "/";
    page += "<a href=\"" + address + "\">";
    expected += address + "\r\n";
  }
  WriteFile(folder.Path("page.htm"), page);
  BoxRecorder recorder;
  RunExport(folder.Path("page.htm"), folder.Path("out.txt"));
  EXPECT_EQ(ReadFile(folder.Path("out.txt")), expected);
  EXPECT_EQ(recorder.boxes(), cases::OpeningOnly());
}

}  // namespace

// The output objects on their own, against a file whose writes the system-call table can
// make fail: what reaches the file, and what the run is told of each failed address.
class RecordListener : public quillon::RecordOutput::FailureListener {
 public:
  std::vector<std::pair<int, std::optional<std::uint64_t>>> failures;
  void AddressWriteFailed(int error_number, std::optional<std::uint64_t> mark) override {
    failures.emplace_back(error_number, mark);
  }
};

void AppendRecord(quillon::RecordOutput& output, const std::string& address, std::uint64_t mark) {
  address.copy(output.Slot(), address.size());
  output.Append(static_cast<int>(address.size()), mark);
}

TEST(RecordOutputTest, BlockOutputWritesOnceAndTellsTheLastMarkOnlyOfTheLastRecord) {
  ScratchFolder folder;
  const std::string path = folder.Path("out.txt");
  struct {
    const char* name;
    int successes;     // writes that go through
    long long room;    // bytes they may take
    std::string file;  // what the file holds afterwards
    std::vector<std::pair<int, std::optional<std::uint64_t>>> failures;
  } const cases[] = {
      {"every write goes through",
       testing_support::FailingWrites::kAll,
       testing_support::FailingWrites::kNoLimit,
       "http://a/\r\nhttp://bb/\r\nhttp://c/\r\n",
       {}},
      // A partly written address counts as written, as a short write does.
      {"the block stops inside the second address", 1, 14, "http://a/\r\nhtt", {{ENOSPC, 3}}},
      {"the block fails outright",
       0,
       0,
       "",
       {{ENOSPC, std::nullopt}, {ENOSPC, std::nullopt}, {ENOSPC, 3}}},
  };
  for (const auto& c : cases) {
    RecordListener listener;
    int handle =
        crt::_open(path.c_str(), crt::_O_RDWR | crt::_O_CREAT | crt::_O_TRUNC | crt::_O_BINARY,
                   crt::_S_IWRITE);
    ASSERT_NE(handle, -1);
    {
      quillon::BlockRecordOutput output(handle, listener);
      ASSERT_TRUE(output.Ready());
      AppendRecord(output, "http://a/", 1);
      AppendRecord(output, "http://bb/", 2);
      AppendRecord(output, "http://c/", 3);
      EXPECT_EQ(ReadFile(path), "") << c.name;  // nothing before the flush
      testing_support::FailingWrites writes(c.successes, c.room);
      output.Close();
      EXPECT_FALSE(output.IsOpen());
    }
    EXPECT_EQ(ReadFile(path), c.file) << c.name;
    EXPECT_EQ(listener.failures, c.failures) << c.name;
  }
}

// The block's write stops after `first_write_cut` bytes; every later write goes through.
long first_write_cut = 0;
int writes_seen = 0;
ssize_t CutFirstWrite(int fd, const void* buffer, size_t count) {
  if (writes_seen++ == 0) count = std::min(count, static_cast<size_t>(first_write_cut));
  return crt::RealSystemCalls().write(fd, buffer, count);
}

TEST(RecordOutputTest, BlockCutAnywhereThenWrittenPieceByPieceKeepsEveryLineEnd) {
  ScratchFolder folder;
  const std::string path = folder.Path("out.txt");
  const std::vector<std::string> addresses = {"http://a/", "http://bb/", "http://c/"};
  std::string block;
  for (const std::string& address : addresses) block += address + "\r\n";
  for (first_write_cut = 0; first_write_cut <= static_cast<long>(block.size()); ++first_write_cut) {
    // A record the cut falls inside keeps the part of its address written, then gets its line
    // end; every other record is written whole.
    std::string expected;
    size_t start = 0;
    for (const std::string& address : addresses) {
      size_t cut = static_cast<size_t>(first_write_cut);
      expected += cut > start && cut < start + address.size()
                      ? address.substr(0, cut - start) + "\r\n"
                      : address + "\r\n";
      start += address.size() + 2;
    }
    RecordListener listener;
    int handle =
        crt::_open(path.c_str(), crt::_O_RDWR | crt::_O_CREAT | crt::_O_TRUNC | crt::_O_BINARY,
                   crt::_S_IWRITE);
    ASSERT_NE(handle, -1);
    quillon::BlockRecordOutput output(handle, listener);
    for (size_t i = 0; i < addresses.size(); ++i) AppendRecord(output, addresses[i], i + 1);
    writes_seen = 0;
    crt::Sys().write = CutFirstWrite;
    output.Close();
    crt::Sys().write = crt::RealSystemCalls().write;
    EXPECT_EQ(ReadFile(path), expected) << "cut at " << first_write_cut;
    EXPECT_TRUE(listener.failures.empty()) << "cut at " << first_write_cut;
  }
}

TEST(RecordOutputTest, PlainOutputWritesEachAddressAndItsLineEndAsItComes) {
  ScratchFolder folder;
  const std::string path = folder.Path("out.txt");
  RecordListener listener;
  int handle = crt::_open(
      path.c_str(), crt::_O_RDWR | crt::_O_CREAT | crt::_O_TRUNC | crt::_O_BINARY, crt::_S_IWRITE);
  quillon::PlainRecordOutput output(handle, listener);
  AppendRecord(output, "http://a/", 7);
  EXPECT_EQ(ReadFile(path), "http://a/\r\n");
  {
    // The address fails, its line end is still tried and goes through.
    testing_support::FailingWrites writes(0);
    AppendRecord(output, "http://b/", 8);
    EXPECT_EQ(writes.Attempts(), 2);
  }
  EXPECT_EQ(listener.failures,
            (std::vector<std::pair<int, std::optional<std::uint64_t>>>{{ENOSPC, 8}}));
  output.Close();
  EXPECT_EQ(ReadFile(path), "http://a/\r\n");
}
