// The eight arguments come back to the heap on every way out of a run, in argument order;
// what the library takes from the heap it gives back by the time it is unloaded.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "library/messages.h"
#include "tests/windows/quillon_dll.h"

namespace {

using wintest::Event;

const std::string kPage =
    "<html><a href=\"http://one.example/a.html\">1</a> <A HREF=\"http://two.example/b\">2</A>"
    "<p><a href=\"http://three.example/\">3</a>\r\n";
const std::string kRecords =
    "http://one.example/a.html\r\nhttp://two.example/b/\r\nhttp://three.example/\r\n";

// Eight non-empty arguments (keywords that occur nowhere), so that all eight are blocks.
std::array<std::string, 8> Arguments(const char* input, const char* output) {
  return {input, output, "kw-one", "kw-two", "kw-three", "kw-four", "kw-five", "kw-six"};
}

// The argument blocks among the blocks freed, in the order they were freed.
std::vector<void*> ArgumentsFreed(const std::array<void*, 8>& arguments) {
  std::vector<void*> freed;
  for (const Event& event : wintest::Events()) {
    if (event.kind == Event::kFree &&
        std::find(arguments.begin(), arguments.end(), event.block) != arguments.end()) {
      freed.push_back(event.block);
    }
  }
  return freed;
}

std::vector<void*> InOrder(const std::array<void*, 8>& arguments) {
  return {arguments.begin(), arguments.end()};
}

struct Path {
  const char* name;
  const char* input;
  const char* output;
  std::vector<std::string> texts;  // of the boxes, in order
};

TEST(DllRelease, AllEightArgumentsAreFreedInOrderOnEveryPath) {
  CreateDirectoryA("a-folder", nullptr);
  wintest::WriteFileBytes("page.htm", kPage);
  DeleteFileA("missing.htm");
  const Path paths[] = {
      {"normal end", "page.htm", "out.txt", {"アドレスの取得を開始します。"}},
      {"output cannot be opened",
       "page.htm",
       "a-folder",
       {"アドレスの取得を開始します。", "書出しファイルが開けない"}},
      {"input missing",
       "missing.htm",
       "out.txt",
       {"アドレスの取得を開始します。", "ファイルが存在しません。"}},
  };
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  dll.WatchHeap();
  for (const Path& path : paths) {
    SCOPED_TRACE(path.name);
    wintest::Events().clear();
    const std::array<void*, 8> arguments = dll.Run(Arguments(path.input, path.output));
    EXPECT_EQ(ArgumentsFreed(arguments), InOrder(arguments));
    std::vector<std::string> texts;
    for (const Event& box : wintest::Boxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, path.texts);
  }
  EXPECT_EQ(wintest::ReadFileBytes("out.txt"), "");  // the last run emptied it
}

// Allocation number n of a run fails, for n = 0, 1, 2, ... until a run gets through. A run that
// cannot do without the block shows the out-of-memory box, and only it, after the failure; one
// that can (its read and write blocks have smaller stand-ins) writes every record. Either way
// the arguments are freed, the files closed, and the file holds whole records found so far.
TEST(DllRelease, RunsEndedByAllocationFailuresReleaseTheirArgumentsAndFiles) {
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  dll.WatchHeap();
  int failed_runs = 0;
  for (long successes = 0; successes < 200; ++successes) {
    SCOPED_TRACE(testing::Message() << "allocations before the failure: " << successes);
    wintest::WriteFileBytes("page.htm", kPage);
    wintest::Events().clear();
    wintest::FailOneAllocationAfter(successes);
    const std::array<void*, 8> arguments = dll.Run(Arguments("page.htm", "out.txt"));
    wintest::FailOneAllocationAfter(-1);

    const std::vector<Event>& events = wintest::Events();
    auto failure = std::find_if(events.begin(), events.end(),
                                [](const Event& e) { return e.kind == Event::kFailedMalloc; });
    EXPECT_EQ(ArgumentsFreed(arguments), InOrder(arguments));
    std::vector<Event> boxes;
    std::copy_if(failure, events.end(), std::back_inserter(boxes),
                 [](const Event& e) { return e.kind == Event::kBox; });
    const std::string output = wintest::ReadFileBytes("out.txt");
    EXPECT_EQ(kRecords.compare(0, output.size(), output), 0) << output;
    if (boxes.empty()) {
      EXPECT_EQ(output, kRecords);
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].caption, quillon::kCaptionOutOfMemory);
      EXPECT_EQ(boxes[0].text, quillon::kTextOutOfMemory);
      EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
      EXPECT_EQ(boxes[0].owner, nullptr);
    }
    // A file still open in the library could not be deleted.
    EXPECT_TRUE(DeleteFileA("out.txt"));
    EXPECT_TRUE(DeleteFileA("page.htm"));
    if (failure == events.end()) {
      EXPECT_EQ(output, kRecords);
      break;
    }
    ++failed_runs;
  }
  EXPECT_GT(failed_runs, 0);
}

TEST(DllRelease, UnloadGivesBackEveryBlockAndDestroysCurrentUrlBeforeStatusText) {
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  wintest::WriteFileBytes("page.htm", kPage);
  // The first run also makes what the compiler's run-time keeps for good (the lock behind
  // function-local statics); the second one must leave nothing behind.
  dll.Run(Arguments("page.htm", "out.txt"));
  dll.WatchHeap();
  dll.Run(Arguments("page.htm", "out.txt"));
  ASSERT_EQ(wintest::ReadFileBytes("out.txt"), kRecords);
  const size_t run_events = wintest::Events().size();
  dll.Unload();

  std::set<void*> live;
  for (const Event& event : wintest::Events()) {
    if (event.kind == Event::kMalloc) live.insert(event.block);
    if (event.kind == Event::kFree) live.erase(event.block);
  }
  EXPECT_TRUE(live.empty()) << live.size() << " blocks taken by the library were not freed";

  // The strings freed at unload: the last address captured, then the status of the run's end.
  std::vector<std::string> unloaded;
  for (size_t i = run_events; i < wintest::Events().size(); ++i) {
    const Event& event = wintest::Events()[i];
    if (event.kind == Event::kFree && event.string_block) unloaded.push_back(event.text);
  }
  EXPECT_EQ(unloaded, (std::vector<std::string>{"http://three.example/", "File End"}));
}

}  // namespace
