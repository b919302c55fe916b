// The timing wrapper and the two floors, run as the benchmark runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Ran {
  int status = -1;
  std::string out;
};

Ran RunCommand(const std::string& command) {
  Ran ran;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return ran;
  char chunk[256];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) ran.out.append(chunk, got);
  const int status = pclose(pipe);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ran;
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream all;
  all << file.rdbuf();
  return all.str();
}

std::string Scratch(const char* name) {
  return ::testing::TempDir() + "bench_tools_" + name;
}

struct Measured {
  double seconds = -1;
  long peak_kib = -1;
  double cpu_seconds = -1;
};

Measured Parse(const std::string& line) {
  Measured measured;
  std::istringstream in(line);
  in >> measured.seconds >> measured.peak_kib >> measured.cpu_seconds;
  return measured;
}

const std::string kMeasure = MEASURE_PATH;

// The command's standard output goes to the named file; the wrapper's own line is the figures.
TEST(Measure, SendsTheOutputAwayAndPassesTheStatusOn) {
  const std::string out = Scratch("out");
  const Ran ran = RunCommand(kMeasure + " " + out + " sh -c 'echo hello; exit 3'");
  EXPECT_EQ(ran.status, 3);
  EXPECT_EQ(ReadAll(out), "hello\n");
  const Measured measured = Parse(ran.out);
  EXPECT_GE(measured.seconds, 0);
  EXPECT_GT(measured.peak_kib, 0);
  EXPECT_GE(measured.cpu_seconds, 0);
}

TEST(Measure, WaitingCountsAsWallTimeButNotAsProcessorTime) {
  const Measured measured = Parse(RunCommand(kMeasure + " /dev/null sleep 0.3").out);
  EXPECT_GE(measured.seconds, 0.3);
  EXPECT_LT(measured.cpu_seconds, 0.2);
}

TEST(Measure, PeakMemoryIsTheCommandsOwn) {
  // dd fills a 64 MiB buffer; true touches next to nothing.
  const Measured big = Parse(
      RunCommand(kMeasure + " /dev/null dd if=/dev/zero of=/dev/null bs=64M count=1 status=none")
          .out);
  const Measured small = Parse(RunCommand(kMeasure + " /dev/null true").out);
  EXPECT_GE(big.peak_kib, 64 * 1024);
  EXPECT_LT(small.peak_kib, 16 * 1024);
}

TEST(Measure, ACommandThatCannotStartFails) {
  EXPECT_EQ(RunCommand(kMeasure + " /dev/null /nonexistent/command 2>/dev/null").status, 127);
}

// "<" on both sides of the 1 MiB read boundary, at the very start and the very end.
TEST(MemchrScan, CountsEveryOpeningAcrossReads) {
  const std::string path = Scratch("floor.html");
  std::string bytes((1 << 20) * 2 + 100, 'x');
  for (size_t at : {size_t{0}, size_t{(1 << 20) - 1}, size_t{1 << 20}, bytes.size() - 1}) {
    bytes[at] = '<';
  }
  std::ofstream(path, std::ios::binary) << bytes;
  const Ran ran = RunCommand(std::string(MEMCHR_SCAN_PATH) + " " + path);
  EXPECT_EQ(ran.status, 0);
  EXPECT_EQ(ran.out, "4\n");
  EXPECT_NE(RunCommand(std::string(MEMCHR_SCAN_PATH) + " /nonexistent 2>/dev/null").status, 0);
}

// The records quillon writes, where the floor's blocks of 128 KiB cut the page.
TEST(ExtractionFloor, WritesQuillonsRecords) {
  constexpr size_t kBlock = 128 * 1024;
  // Each piece starts `back` bytes before the next edge.
  std::string edges;
  const auto cut = [&edges](size_t back, const std::string& piece) {
    edges.append(kBlock - back - edges.size() % kBlock, 'x');
    edges += piece;
  };
  cut(7, "<a href=\"http://first\">");
  cut(20, "<a href=\"http://second\">");
  cut(200, "<a href=\"http://" + std::string(600, 'z') + "\">");
  cut(1000, "<a href=\"http://" + std::string(5000, 'z') + "\">");
  cut(5, "<a hr<a href=\"http://rewound\">");
  cut(1, "<a href=\"http://third\">");
  const std::string y492(492, 'y');
  struct Case {
    const char* what;
    std::string page;
    std::vector<std::string> keywords;
    std::string records;
  };
  const Case cases[] = {
      {"suffix rule, capitals, text after the quote",
       "<a href=\"http://a.example\">A</a> <A HREF=\"HTTP://B.example/X.HTM\">"
       "<a HrEf=\"hTtP://c/d.Html\"><a href=\"http://e/f.shtml\"><a href=\"http://\">"
       "<a href=\"http://g/h.html?q\"><a href=\"http://i/\">",
       {},
       "http://a.example/\r\nhttp://B.example/X.HTM\r\nhttp://c/d.Html\r\nhttp://e/f.shtml/\r\n"
       "http://\r\nhttp://g/h.html?q/\r\nhttp://i/\r\n"},
      {"a failed attempt goes on at the second byte after the \"<\"",
       "<<a href=\"http://lost\"> <<<a href=\"http://found\"> <a<a href=\"http://inside\">"
       "<a href=\"https://no\"><a  href=\"http://no\"><a href=\"http://unclosed",
       {},
       "http://found/\r\nhttp://inside/\r\n"},
      {"keywords: case-sensitive, on the address with its \"/\", empty ones exclude nothing",
       "<a href=\"http://yahoo.example\"><a href=\"http://Yahoo.example\">"
       "<a href=\"http://p.example\"><a href=\"http://q.example/r.htm\">",
       {"yahoo", "", "", "", "", "p.example/"},
       "http://Yahoo.example/\r\nhttp://q.example/r.htm\r\n"},
      {"addresses of 500 bytes or more are skipped, the next anchor is found",
       "<a href=\"http://" + y492 + "\"><a href=\"http://" + y492.substr(1) + "\">" +
           "<a href=\"http://" + y492.substr(5) + ".html\"><a href=\"http://" + y492 + "y.html\">" +
           "<a href=\"http://" + std::string(5000, 'z') + "\"><a href=\"http://next\">",
       {},
       "http://" + y492.substr(1) + "/\r\nhttp://" + y492.substr(5) + ".html\r\nhttp://next/\r\n"},
      {"attempts and addresses cut by the block edges",
       edges,
       {},
       "http://first/\r\nhttp://second/\r\nhttp://rewound/\r\nhttp://third/\r\n"},
  };
  const std::string page = Scratch("extraction.html");
  const std::string records = Scratch("extraction.out");
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    std::ofstream(page, std::ios::binary) << test.page;
    std::string command = std::string(EXTRACTION_FLOOR_PATH) + " " + page + " " + records;
    for (const std::string& keyword : test.keywords) command += " '" + keyword + "'";
    EXPECT_EQ(RunCommand(command).status, 0);
    EXPECT_EQ(ReadAll(records), test.records);
  }
  EXPECT_EQ(
      RunCommand(std::string(EXTRACTION_FLOOR_PATH) + " /nonexistent " + records + " 2>/dev/null")
          .status,
      1);
  EXPECT_EQ(RunCommand(std::string(EXTRACTION_FLOOR_PATH) + " " + page + " 2>/dev/null").status, 2);
}

}  // namespace
