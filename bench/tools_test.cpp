// The timing wrapper and the memchr floor, run as the benchmark runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

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

}  // namespace
