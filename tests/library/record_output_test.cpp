// Buffered records on a disk that fills up: block mode must leave the same bytes and show the
// same boxes as writing each piece on its own, wherever the disk runs out.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>

#include "library/io_mode.h"
#include "runtime/system_calls.h"
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

Outcome RunOnSmallDisk(quillon::IoMode mode, const ScratchFolder& folder, long room) {
  BoxRecorder recorder;
  {
    // A disk with `room` bytes free: writes fall short, then fail.
    testing_support::FailingWrites small_disk(testing_support::FailingWrites::kAll, room);
    RunExport(folder.Path("page.htm"), folder.Path("out.txt"), {}, mode);
  }
  return Outcome{ReadFile(folder.Path("out.txt")), recorder.boxes()};
}

TEST(RecordOutputTest, FullDiskAnywhereGivesTheSameFileAndBoxesAsPieceByPiece) {
  ScratchFolder folder;
  std::string page;
  for (int i = 0; i < 6; ++i)
    page += "<a href=\"http://h" + std::to_string(i) + ".example/\">x</a>";
  WriteFile(folder.Path("page.htm"), page);
  // Records are 20 bytes each (18 + CR LF); try every amount of room up to all of them.
  for (long room = 0; room <= 6 * 20 + 1; ++room) {
    Outcome plain = RunOnSmallDisk(quillon::IoMode::Plain, folder, room);
    Outcome block = RunOnSmallDisk(quillon::IoMode::Block, folder, room);
    EXPECT_EQ(block.file, plain.file) << "room " << room;
    EXPECT_EQ(block.boxes, plain.boxes) << "room " << room;
    EXPECT_EQ(plain.file.size(), static_cast<size_t>(room < 120 ? room : 120)) << "room " << room;
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
