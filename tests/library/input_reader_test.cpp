// The block reader must answer every read, end test and move back as the plain reader does,
// also where the moves cross the edges of its blocks.
#include <gtest/gtest.h>

#include <random>

#include "library/input_reader.h"
#include "runtime/lowio.h"
#include "tests/support/linux_test_support.h"

namespace {

using quillon::InputReader;
using quillon::IoMode;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

// A trace of what a reader gave for a script of operations.
std::vector<int> Trace(const std::string& path, IoMode mode, const std::vector<int>& script) {
  int handle = crt::_open(path.c_str(), 0x8000);
  EXPECT_NE(handle, -1);
  static InputReader reader;
  reader.Start(handle, mode);
  std::vector<int> trace;
  for (int step : script) {
    if (step == 0) {
      trace.push_back(reader.ReadByte());
    } else if (step == 1) {
      trace.push_back(1000 + reader.Eof());
    } else if (step == 2) {
      reader.MoveBack(14);
    } else {
      trace.push_back(2000 + reader.TakeThrough('<'));
    }
  }
  crt::_close(handle);
  return trace;
}

TEST(InputReaderTest, BlockReaderMatchesPlainReaderOnRandomScripts) {
  ScratchFolder folder;
  std::mt19937 random(11);
  std::string content;
  for (int i = 0; i < 300000; ++i) content += "ab<cdefgh"[random() % 9];
  WriteFile(folder.Path("f"), content);
  for (int round = 0; round < 6; ++round) {
    // Long stretches of plain reads first carry the position across block edges.
    std::vector<int> script(round % 2 == 1 ? 140000 : 0, 0);
    // Skipping is only equivalent inside the scan loop; the run-level tests cover it.
    std::discrete_distribution<int> kind({60, 20, 10});
    for (int i = 0; i < 20000; ++i) script.push_back(kind(random));
    EXPECT_EQ(Trace(folder.Path("f"), IoMode::Block, script),
              Trace(folder.Path("f"), IoMode::Plain, script))
        << "round " << round;
  }
}

TEST(InputReaderTest, EndAndMovesNearTheStart) {
  ScratchFolder folder;
  WriteFile(folder.Path("f"), "<abc");
  for (IoMode mode : {IoMode::Block, IoMode::Plain}) {
    std::vector<int> trace = Trace(folder.Path("f"), mode, {0, 2, 0, 1, 0, 0, 0, 1, 0, 1});
    // Moving back 14 from position 1 fails and leaves the position.
    EXPECT_EQ(trace, (std::vector<int>{'<', 'a', 1000, 'b', 'c', InputReader::kNoByte, 1001,
                                       InputReader::kNoByte, 1001}));
  }
}

TEST(InputReaderTest, TakeThroughStopsAfterTheBracketOrOnTheLastByteOfTheBlock) {
  ScratchFolder folder;
  WriteFile(folder.Path("f"), "xxxx<yyy");
  EXPECT_EQ(Trace(folder.Path("f"), IoMode::Block, {0, 3, 0, 3, 0, 0, 0, 0}),
            (std::vector<int>{'x', 2001, 'y', 2000, 'y', InputReader::kNoByte, InputReader::kNoByte,
                              InputReader::kNoByte}));
  WriteFile(folder.Path("f"), "zzzzz");
  EXPECT_EQ(Trace(folder.Path("f"), IoMode::Block, {0, 3, 1, 0, 1}),
            (std::vector<int>{'z', 2000, 1000, 'z', 1001}));
  EXPECT_EQ(Trace(folder.Path("f"), IoMode::Plain, {0, 3, 0}), (std::vector<int>{'z', 2000, 'z'}));
}

}  // namespace
