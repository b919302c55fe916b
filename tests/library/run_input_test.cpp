// The block reader must answer every read, end test and move back as the plain reader does,
// also where the moves cross the edges of its blocks, and leave the same status.
#include <gtest/gtest.h>

#include <random>

#include "library/attempt_skip.h"
#include "library/run_input.h"
#include "runtime/lowio.h"
#include "tests/support/linux_test_support.h"

namespace {

using quillon::IoMode;
using quillon::RunInput;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

const quillon::CharacterClasses kClasses = quillon::TakeCharacterClasses();

// A trace of what a reader gave for a script of operations: 0 reads a byte (traced with the
// status it leaves), 1 tests for the end, 2 moves back 14, 3 passes over what the scan would
// pass over in the window.
std::vector<int> Trace(const std::string& path, IoMode mode, const std::vector<int>& script) {
  int handle = crt::_open(path.c_str(), 0x8000);
  EXPECT_NE(handle, -1);
  RunInput reader;
  reader.Start(handle, mode);
  std::vector<int> trace;
  for (int step : script) {
    if (step == 0) {
      trace.push_back(reader.ReadByte());
      trace.push_back(3000 + reader.Status());
    } else if (step == 1) {
      trace.push_back(1000 + reader.Eof());
    } else if (step == 2) {
      reader.MoveBack(14);
    } else {
      quillon::AttemptSkip skip =
          quillon::SkipFailedAttempts(reader.Window(), reader.WindowSize(), kClasses);
      if (skip.last_read >= 0) reader.Take(skip.taken, static_cast<unsigned char>(skip.last_read));
      trace.push_back(2000 + static_cast<int>(skip.taken));
    }
  }
  crt::_close(handle);
  return trace;
}

TEST(RunInputTest, BlockReaderMatchesPlainReaderOnRandomScripts) {
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

TEST(RunInputTest, EndAndMovesNearTheStart) {
  ScratchFolder folder;
  WriteFile(folder.Path("f"), "<abc");
  constexpr int kEnded = 3000 + RunInput::kEnded;
  for (IoMode mode : {IoMode::Block, IoMode::Plain}) {
    std::vector<int> trace = Trace(folder.Path("f"), mode, {0, 2, 0, 1, 0, 0, 0, 1, 0, 1});
    // Moving back 14 from position 1 fails and leaves the position.
    EXPECT_EQ(trace, (std::vector<int>{'<', 3000 + '<', 'a', 3000 + 'a', 1000, 'b', 3000 + 'b', 'c',
                                       3000 + 'c', RunInput::kNoByte, kEnded, 1001,
                                       RunInput::kNoByte, kEnded, 1001}));
  }
}

TEST(RunInputTest, WindowPassesOverTextButNotTheLastByteOrAnUndecidedBracket) {
  ScratchFolder folder;
  WriteFile(folder.Path("f"), "xxxx<yyy");
  // The "<" has too few bytes after it to decide its attempt: the window stops before it.
  EXPECT_EQ(
      Trace(folder.Path("f"), IoMode::Block, {0, 3, 0, 3, 0, 0, 0, 0}),
      (std::vector<int>{'x', 3000 + 'x', 2003, '<', 3000 + '<', 2002, 'y', 3000 + 'y',
                        RunInput::kNoByte, 3000 + RunInput::kEnded, RunInput::kNoByte,
                        3000 + RunInput::kEnded, RunInput::kNoByte, 3000 + RunInput::kEnded}));
  WriteFile(folder.Path("f"), "zzzzz");
  EXPECT_EQ(Trace(folder.Path("f"), IoMode::Block, {0, 3, 1, 0, 1}),
            (std::vector<int>{'z', 3000 + 'z', 2003, 1000, 'z', 3000 + 'z', 1001}));
  // Plain mode has no window.
  EXPECT_EQ(Trace(folder.Path("f"), IoMode::Plain, {0, 3, 0}),
            (std::vector<int>{'z', 3000 + 'z', 2000, 'z', 3000 + 'z'}));
}

}  // namespace
