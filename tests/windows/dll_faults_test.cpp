// The real QUILLON.dll against files that fail: an output that takes no byte, input reads that
// fail part way, paths that cannot be opened, a page past 4 GiB, and a thousand runs in one
// process that must leave nothing behind.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "library/messages.h"
#include "tests/windows/crt_faults.h"
#include "tests/windows/quillon_dll.h"

namespace {

using wintest::Event;

// A box as one line, so that a failure shows it readably.
std::string Box(const std::string& caption, const std::string& text) {
  return caption + ": " + text;
}

const std::string kOpening = Box(quillon::kCaptionError, quillon::kTextSearchStarting);

std::vector<std::string> BoxesShown() {
  std::vector<std::string> shown;
  for (const Event& box : wintest::Boxes()) shown.push_back(Box(box.caption, box.text));
  return shown;
}

// A page built anchor by anchor, with the record each anchor gives and where its address
// closes.
struct Page {
  struct Anchor {
    size_t closing_quote;  // offset in the page
    std::string record;    // "" when a keyword drops it
  };
  std::string bytes;
  std::vector<Anchor> anchors;

  void Add(const std::string& text) { bytes += text; }
  // An anchor whose address is "http://" + `rest`; `record` is what the run writes for it.
  void AddAnchor(const std::string& rest, const std::string& record) {
    bytes += "<a href=\"http://" + rest;
    anchors.push_back({bytes.size(), record});
    bytes += "\">link</a>";
  }
  // The output of a run that got the page's first `delivered` bytes.
  std::string RecordsBefore(long long delivered) const {
    std::string records;
    for (const Anchor& anchor : anchors) {
      if (static_cast<long long>(anchor.closing_quote) < delivered) records += anchor.record;
    }
    return records;
  }
  std::string Records() const { return RecordsBefore(static_cast<long long>(bytes.size())); }
};

std::array<std::string, 8> Arguments(const std::string& input, const std::string& output,
                                     const std::string& keyword = "") {
  return {input, output, keyword, "", "", "", "", ""};
}

// --- An output that takes no byte -------------------------------------------------------------

// Addresses of every kind of ending, one a keyword drops, and the last right at the page's end.
Page PageForWriteFailures() {
  Page page;
  page.Add("<html><body>\r\n");
  const char* kept[][2] = {{"one.example/a.html", "http://one.example/a.html"},
                           {"two.example/dir/", "http://two.example/dir/"},
                           {"three.example/b", "http://three.example/b/"},
                           {"four.example/c.HTM", "http://four.example/c.HTM"}};
  for (const auto& [rest, address] : kept) {
    page.AddAnchor(rest, std::string(address) + "\r\n");
    page.Add("<p>text between anchors</p>\r\n");
  }
  page.AddAnchor("drop.example/", "");  // the keyword "drop"
  page.Add("<p>");
  page.AddAnchor("last.example/z", "http://last.example/z/\r\n");
  return page;
}

// The addresses the run tries to write, without their line ends.
std::vector<std::string> KeptAddresses(const Page& page) {
  std::vector<std::string> kept;
  for (const Page::Anchor& anchor : page.anchors) {
    if (!anchor.record.empty()) kept.push_back(anchor.record.substr(0, anchor.record.size() - 2));
  }
  return kept;
}

std::vector<std::string> OpeningAndWriteFailures(size_t count) {
  std::vector<std::string> boxes{kOpening};
  boxes.insert(boxes.end(), count, Box(quillon::kCaptionError, quillon::kTextWriteFailed));
  return boxes;
}

TEST(DllFaults, FullDeviceAsOutputGivesOneErrnoBoxPerKeptAddress) {
  // Wine maps Z: to the root of the unix file system; its full device opens and refuses
  // every byte with ENOSPC.
  const char* device = "Z:\\dev\\full";
  int probe = _open(device, _O_BINARY | _O_WRONLY);
  ASSERT_NE(probe, -1) << "the full device cannot be opened here";
  errno = 0;
  EXPECT_EQ(_write(probe, "x", 1), -1);
  EXPECT_EQ(errno, ENOSPC);
  _close(probe);

  const Page page = PageForWriteFailures();
  const std::vector<std::string> kept = KeptAddresses(page);
  wintest::WriteFileBytes("page.htm", page.bytes);
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  dll.Run(Arguments("page.htm", device, "drop"));
  EXPECT_EQ(BoxesShown(), OpeningAndWriteFailures(kept.size()));
  EXPECT_TRUE(DeleteFileA("page.htm")) << "the page was left open";
}

TEST(DllFaults, FailingWritesAreEachReportedAndStillGetTheirLineEnd) {
  const Page page = PageForWriteFailures();
  const std::vector<std::string> kept = KeptAddresses(page);
  wintest::WriteFileBytes("page.htm", page.bytes);
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  wintest::FailingWrites writes(dll.Module());
  ASSERT_TRUE(writes.Installed());
  dll.Run(Arguments("page.htm", "out.txt", "drop"));

  EXPECT_EQ(BoxesShown(), OpeningAndWriteFailures(kept.size()));
  // Each kept address was tried on its own once, and each got its own try at CR LF.
  std::vector<std::string> addresses;
  size_t line_ends = 0;
  for (const std::string& attempt : writes.FailedBytes()) {
    if (attempt == "\r\n") ++line_ends;
    if (attempt.find('\r') == std::string::npos) addresses.push_back(attempt);
  }
  EXPECT_EQ(addresses, kept);
  EXPECT_EQ(line_ends, kept.size());
  EXPECT_EQ(wintest::ReadFileBytes("out.txt"), "");
  EXPECT_TRUE(DeleteFileA("out.txt")) << "the output was left open";
  EXPECT_TRUE(DeleteFileA("page.htm")) << "the page was left open";
}

// --- Reads that fail part way -------------------------------------------------------------

// Runs `page` with the first `successes` reads going through (each of at most `most` bytes)
// and every later one failing, for successes = 0, 1, 2, ... until a run reads the whole page
// without a failure. Each run must end with the file error box after the opening one, and hold
// exactly the records whose addresses closed within the bytes delivered.
void RunWithReadsFailingFromEachCall(const Page& page, unsigned most) {
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  int runs_with_failure = 0;
  for (int successes = 0; successes < 10000; ++successes) {
    SCOPED_TRACE(testing::Message() << "reads before the failure: " << successes);
    wintest::WriteFileBytes("page.htm", page.bytes);
    wintest::WriteFileBytes("out.txt", "left over\r\n");
    wintest::Events().clear();
    long long delivered = 0;
    int failures = 0;
    {
      wintest::FailingReads reads(dll.Module(), successes, most);
      ASSERT_TRUE(reads.Installed());
      dll.Run(Arguments("page.htm", "out.txt"));
      delivered = reads.Delivered();
      failures = reads.Failures();
    }
    EXPECT_EQ(wintest::ReadFileBytes("out.txt"), page.RecordsBefore(delivered));
    EXPECT_TRUE(DeleteFileA("out.txt")) << "the output was left open";
    EXPECT_TRUE(DeleteFileA("page.htm")) << "the page was left open";
    if (failures == 0) {
      EXPECT_EQ(BoxesShown(), std::vector<std::string>{kOpening});
      EXPECT_EQ(delivered, static_cast<long long>(page.bytes.size()));
      break;
    }
    ++runs_with_failure;
    EXPECT_EQ(BoxesShown(), (std::vector<std::string>{
                                kOpening, Box(quillon::kCaptionError, quillon::kTextFileError)}));
    if (testing::Test::HasFailure()) break;  // one run's report is enough
  }
  EXPECT_GT(runs_with_failure, 0);
}

TEST(DllFaults, ReadFailingAnywhereInASmallPageKeepsTheRecordsBeforeIt) {
  // Short reads of 40 bytes put the failure at every stage: in the text, inside an anchor's
  // opening, inside an address, and at the end.
  Page page;
  page.Add("<html>\r\n");
  for (int i = 0; i < 6; ++i) {
    std::string host = "host" + std::to_string(i) + ".example";
    page.AddAnchor(host + "/page" + std::to_string(i),
                   "http://" + host + "/page" + std::to_string(i) + "/\r\n");
    page.Add(" <b>x</b> <<< <a name=\"n\">\r\n");
  }
  RunWithReadsFailingFromEachCall(page, 40);
}

TEST(DllFaults, ReadFailingOnALaterBlockOfALargePageKeepsTheEarlierBlocksRecords) {
  // 300 KiB: three reads of the library's block size. Anchors stand in each block and across
  // both block boundaries.
  constexpr size_t kBlock = 128 * 1024;
  Page page;
  auto anchor_near = [&page](size_t offset, const std::string& host) {
    page.Add(std::string(offset - page.bytes.size(), ' '));
    page.AddAnchor(host + "/", "http://" + host + "/\r\n");
  };
  anchor_near(100, "first-block.example");
  anchor_near(kBlock - 12, "across-first-boundary.example");
  anchor_near(kBlock + 5000, "second-block.example");
  anchor_near(2 * kBlock - 30, "address-across-second-boundary.example");
  anchor_near(2 * kBlock + 900, "third-block.example");
  page.Add(std::string(300 * 1024 - page.bytes.size(), '.'));
  RunWithReadsFailingFromEachCall(page, 0);
}

// --- Paths that cannot be opened ---------------------------------------------------------------

struct BadPath {
  const char* name;
  std::string path;
};

std::vector<BadPath> BadPaths() {
  std::string long_path;
  while (long_path.size() < 4000) long_path += "a-folder-name-of-some-length-0123456789\\";
  long_path.resize(3996);
  long_path += ".htm";
  return {{"a directory", "a-folder"},
          {"in a missing folder", "no-such-folder\\file.htm"},
          {"empty", ""},
          {"4,000 characters", long_path}};
}

TEST(DllFaults, OutputThatCannotBeOpenedEndsTheRunBeforeTheInputIsOpened) {
  CreateDirectoryA("a-folder", nullptr);
  wintest::WriteFileBytes("page.htm", "<a href=\"http://x.example/\">x</a>");
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  for (const BadPath& output : BadPaths()) {
    SCOPED_TRACE(output.name);
    wintest::Events().clear();
    wintest::RecordedOpens opens(dll.Module());
    ASSERT_NE(opens.Real(), nullptr);
    dll.Run(Arguments("page.htm", output.path));
    EXPECT_EQ(BoxesShown(),
              (std::vector<std::string>{
                  kOpening, Box(quillon::kCaptionError, quillon::kTextOutputNotOpened)}));
    EXPECT_EQ(opens.Names(), std::vector<std::string>{output.path});
  }
  EXPECT_TRUE(DeleteFileA("page.htm"));
}

TEST(DllFaults, OutputThatIsThePageUnderAnyNameIsNotOpenedAndThePageIsKept) {
  const std::string page = "<a href=\"http://kept.example/\">x</a>";
  wintest::WriteFileBytes("both.htm", page);
  ASSERT_TRUE(CreateHardLinkA("hard.htm", "both.htm", nullptr));
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  for (const char* output : {"both.htm", ".\\BOTH.HTM", "hard.htm"}) {
    SCOPED_TRACE(output);
    wintest::Events().clear();
    dll.Run(Arguments("both.htm", output));
    EXPECT_EQ(BoxesShown(),
              (std::vector<std::string>{
                  kOpening, Box(quillon::kCaptionError, quillon::kTextOutputNotOpened)}));
    EXPECT_EQ(wintest::ReadFileBytes("both.htm"), page);
  }
  EXPECT_TRUE(DeleteFileA("hard.htm"));
  EXPECT_TRUE(DeleteFileA("both.htm")) << "the page was left open";
}

TEST(DllFaults, InputThatCannotBeOpenedLeavesTheOutputEmptyAndClosed) {
  CreateDirectoryA("a-folder", nullptr);
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  for (const BadPath& input : BadPaths()) {
    SCOPED_TRACE(input.name);
    wintest::WriteFileBytes("out.txt", "left over\r\n");
    wintest::Events().clear();
    wintest::RecordedOpens opens(dll.Module());
    ASSERT_NE(opens.Real(), nullptr);
    dll.Run(Arguments(input.path, "out.txt"));
    EXPECT_EQ(BoxesShown(), (std::vector<std::string>{kOpening, Box(quillon::kCaptionInputMissing,
                                                                    quillon::kTextInputMissing)}));
    EXPECT_EQ(opens.Names(), (std::vector<std::string>{"out.txt", input.path}));
    EXPECT_EQ(wintest::ReadFileBytes("out.txt"), "");
    EXPECT_TRUE(DeleteFileA("out.txt")) << "the output was left open";
  }
}

// --- A page past 4 GiB -------------------------------------------------------------------------

// A sparse file of `size` bytes, NUL everywhere but the pieces written at their offsets;
// deleted when it goes.
class SparseFile {
 public:
  SparseFile(const char* name, long long size,
             const std::vector<std::pair<long long, std::string>>& pieces)
      : name_(name) {
    HANDLE file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD returned = 0;
    // Without it Windows would fill the holes with zeros on disk; the unix file under Wine is
    // sparse anyway.
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    made_ = true;
    for (const auto& [offset, bytes] : pieces) {
      LARGE_INTEGER at;
      at.QuadPart = offset;
      DWORD written = 0;
      made_ = made_ && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    }
    LARGE_INTEGER end;
    end.QuadPart = size;
    made_ = made_ && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
  }
  ~SparseFile() { Delete(); }
  SparseFile(const SparseFile&) = delete;
  SparseFile& operator=(const SparseFile&) = delete;

  bool Made() const { return made_; }
  // False when the file is still open somewhere (or already gone).
  bool Delete() { return DeleteFileA(name_) != 0; }

 private:
  const char* name_;
  bool made_ = false;
};

TEST(DllFaults, PagePastSixGibibytesGivesEveryAnchorInOrder) {
  constexpr long long kGiB = 1024LL * 1024 * 1024;
  // Past 4 GiB, with bit 31 of the length set: as a 32-bit number the length is negative.
  constexpr long long kSize = 6 * kGiB + 3 * 1024 * 1024 + 77;
  auto anchor = [](const std::string& host) { return "<a href=\"http://" + host + "/\">"; };
  // A failed attempt at "<q " whose move back lands before the next anchor's "<": that
  // anchor is found only if moving back works at that offset.
  auto after_failed = [&anchor](const std::string& host) { return "<q " + anchor(host); };
  const std::vector<std::pair<long long, std::string>> pieces = {
      {64, anchor("start.example")},
      {2 * kGiB - 100, anchor("just-before-two.example")},
      {2 * kGiB - 5, after_failed("across-two.example")},
      {3 * kGiB + 12345, anchor("three.example")},
      {4 * kGiB - 7, after_failed("across-four.example")},
      {4 * kGiB + 2 * 1024 * 1024 + 1, anchor("beyond-four.example")},
      {6 * kGiB - 7, after_failed("across-six.example")},
      {kSize - 40, anchor("near-the-end.example")},
  };
  const std::string records =
      "http://start.example/\r\nhttp://just-before-two.example/\r\n"
      "http://across-two.example/\r\nhttp://three.example/\r\nhttp://across-four.example/\r\n"
      "http://beyond-four.example/\r\nhttp://across-six.example/\r\n"
      "http://near-the-end.example/\r\n";

  SparseFile page("huge.htm", kSize, pieces);
  ASSERT_TRUE(page.Made()) << "the sparse page could not be made";
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  // Large reads take some 50,000 calls for this page; one byte per read, as for a file whose
  // length cannot be had, would take billions: the cap makes that a quick failure.
  wintest::FailingReads reads(dll.Module(), 100000, 0);
  ASSERT_TRUE(reads.Installed());
  // (<chrono> does not compile with this build's execution character set.)
  const ULONGLONG start = GetTickCount64();
  dll.Run(Arguments("huge.htm", "out.txt"));
  std::printf("[          ] a page of %lld bytes took %.1f s\n", kSize,
              static_cast<double>(GetTickCount64() - start) / 1000);
  EXPECT_EQ(reads.Failures(), 0) << "the page was read in small pieces";

  EXPECT_EQ(wintest::ReadFileBytes("out.txt"), records);
  EXPECT_EQ(BoxesShown(), std::vector<std::string>{kOpening});
  EXPECT_TRUE(DeleteFileA("out.txt"));
  EXPECT_TRUE(page.Delete()) << "the page was left open";
}

// --- A thousand runs in one process -------------------------------------------------------------

// Blocks the library holds, counted from its heap calls: taken minus given back, leaving out
// the argument blocks, which the test program made.
class LiveBlocks {
 public:
  void Count(const std::array<void*, 8>& arguments) {
    for (const Event& event : wintest::Events()) {
      if (event.kind == Event::kMalloc) {
        taken_.insert(event.block);
      } else if (event.kind == Event::kFree) {
        if (std::find(arguments.begin(), arguments.end(), event.block) != arguments.end()) {
          continue;
        }
        if (taken_.erase(event.block) == 0) ++older_given_back_;
      }
    }
    wintest::Events().clear();
  }
  long long Net() const { return static_cast<long long>(taken_.size()) - older_given_back_; }

 private:
  std::set<void*> taken_;
  long long older_given_back_ = 0;  // blocks taken before the count started
};

// The next descriptor msvcrt hands out: always the lowest free one.
int NextDescriptor() {
  int descriptor = _open("probe.txt", _O_BINARY | _O_CREAT | _O_RDWR, 0x80);
  _close(descriptor);
  return descriptor;
}

// The next kernel handle: Wine gives the lowest free slot of the process's table.
HANDLE NextHandle() {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CloseHandle(event);
  return event;
}

TEST(DllFaults, AThousandRunsLeaveNoBlockDescriptorOrHandleBehind) {
  CreateDirectoryA("a-folder", nullptr);
  Page page;
  page.AddAnchor("one.example/a.html", "http://one.example/a.html\r\n");
  page.AddAnchor("dropped.example/", "");
  page.Add("\r\n<p>");
  page.AddAnchor("two.example/b", "http://two.example/b/\r\n");
  wintest::WriteFileBytes("page.htm", page.bytes);
  DeleteFileA("missing.htm");
  struct Kind {
    const char* input;
    const char* output;
    size_t boxes;
  };
  const Kind kinds[] = {
      {"page.htm", "out.txt", 1}, {"missing.htm", "out.txt", 2}, {"page.htm", "a-folder", 2}};
  const int kRounds = 334;  // three runs each

  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  // The DLL and this program share msvcrt.dll, so they share its descriptor table.
  wintest::RecordedOpens opens(dll.Module());
  ASSERT_EQ(opens.Real(),
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), "_open")));
  // A first round makes what the run-time keeps for good.
  for (const Kind& kind : kinds) dll.Run(Arguments(kind.input, kind.output, "dropped"));
  wintest::Events().clear();
  const int descriptor = NextDescriptor();
  const HANDLE handle = NextHandle();
  dll.WatchHeap();

  LiveBlocks live;
  int rounds_with_growth = 0;
  int runs_gone_wrong = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (const Kind& kind : kinds) {
      const std::array<void*, 8> arguments = dll.Run(Arguments(kind.input, kind.output, "dropped"));
      if (wintest::Boxes().size() != kind.boxes) ++runs_gone_wrong;
      if (kind.boxes == 1 && wintest::ReadFileBytes("out.txt") != page.Records()) {
        ++runs_gone_wrong;
      }
      live.Count(arguments);
    }
    if (live.Net() != 0) ++rounds_with_growth;
  }
  // Taken before any failure is reported: printing one may itself open handles.
  const int descriptor_after = NextDescriptor();
  const HANDLE handle_after = NextHandle();
  EXPECT_EQ(runs_gone_wrong, 0);
  EXPECT_EQ(rounds_with_growth, 0) << "blocks held after the last round: " << live.Net();
  EXPECT_EQ(descriptor_after, descriptor);
  EXPECT_EQ(handle_after, handle);
  EXPECT_EQ(wintest::ReadFileBytes("out.txt"), "");  // the last run with it found no page
  DeleteFileA("probe.txt");
  DeleteFileA("out.txt");
  EXPECT_TRUE(DeleteFileA("page.htm"));
}

}  // namespace
