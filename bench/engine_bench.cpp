// engine_bench FILE [PAGE_KB]: the engine over a page already in memory, beside the memchr
// floor over the same bytes. The file is read once; then, best of seven, the whole of it goes
// through one engine in one Feed, the same bytes as pages of PAGE_KB KiB (default 16) through
// one engine reset between pages, and memchr counts every "<". Prints MB/s of each and the
// ratios to the floor, one line of Markdown table cells.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "library/engine.h"

namespace {

struct Counted : quillon::RecordSink {
  unsigned long long records = 0;
  unsigned long long bytes = 0;
  void Record(const char*, size_t length) override {
    ++records;
    bytes += length;
  }
};

template <typename Work>
double BestSeconds(Work work) {
  double best = 1e30;
  for (int run = 0; run < 7; ++run) {
    // <chrono> cannot be read in the code page the library's texts are compiled to.
    timespec start, stop;
    clock_gettime(CLOCK_MONOTONIC, &start);
    work();
    clock_gettime(CLOCK_MONOTONIC, &stop);
    double took = static_cast<double>(stop.tv_sec - start.tv_sec) +
                  static_cast<double>(stop.tv_nsec - start.tv_nsec) / 1e9;
    if (took < best) best = took;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: engine_bench FILE [PAGE_KB]\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::perror(argv[1]);
    return 1;
  }
  const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const size_t page_bytes = (argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 16) * 1024;
  const auto* bytes = reinterpret_cast<const unsigned char*>(page.data());
  quillon::Engine engine(quillon::KeywordTexts{}, quillon::DefaultCharacterClasses());

  Counted whole;
  double whole_seconds = BestSeconds([&] {
    whole = Counted{};
    engine.Reset();
    engine.Feed(bytes, page.size(), whole);
    engine.Finish();
  });
  Counted pages;
  double pages_seconds = BestSeconds([&] {
    pages = Counted{};
    for (size_t at = 0; at < page.size(); at += page_bytes) {
      engine.Reset();
      engine.Feed(bytes + at, std::min(page_bytes, page.size() - at), pages);
      engine.Finish();
    }
  });
  unsigned long long opens = 0;
  double floor_seconds = BestSeconds([&] {
    opens = 0;
    const char* at = page.data();
    const char* end = at + page.size();
    while ((at = static_cast<const char*>(std::memchr(at, '<', static_cast<size_t>(end - at)))) !=
           nullptr) {
      ++opens;
      ++at;
    }
  });
  auto mbps = [&page](double seconds) { return static_cast<double>(page.size()) / seconds / 1e6; };
  // The count is printed so that the floor's loop cannot be left out.
  std::printf("| %.0f | %.0f | %.0f | %.2f | %.2f | %llu records, %llu \"<\" |\n",
              mbps(whole_seconds), mbps(pages_seconds), mbps(floor_seconds),
              floor_seconds / whole_seconds, floor_seconds / pages_seconds, whole.records, opens);
  return 0;
}
