// make_page_tree FOLDER PAGES [START_VALUE]
// Writes PAGES real-looking pages (the page corpus, each from its own start value) of 2 to
// 100 KB, smaller ones more often, as FOLDER/dNNN/pNNNNNN.htm, a hundred to a folder, and
// prints "pages=N bytes=N records=N" (records: the lines quillon --list has to write).
#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/corpus.h"
#include "bench/corpus_random.h"

namespace {

constexpr std::uint64_t kDefaultStartValue = 19970401;
constexpr int kPagesPerFolder = 100;

bool ParseNumber(const char* text, std::uint64_t& number) {
  char* end = nullptr;
  errno = 0;
  number = std::strtoull(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

// Sizes spread evenly on a log scale from 2 to 100 KB: most saved pages are small.
std::uint64_t PageSize(CorpusRandom& random) {
  return static_cast<std::uint64_t>(
      2000.0 * std::exp2(random.Below(1 << 20) / double(1 << 20) * std::log2(50.0)));
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t pages = 0;
  std::uint64_t start_value = kDefaultStartValue;
  if (argc < 3 || argc > 4 || !ParseNumber(argv[2], pages) ||
      (argc == 4 && !ParseNumber(argv[3], start_value))) {
    std::fprintf(stderr, "usage: make_page_tree FOLDER PAGES [START_VALUE]\n");
    return 2;
  }
  const std::string root = argv[1];
  CorpusRandom sizes(start_value);
  CorpusStats total;
  for (std::uint64_t i = 0; i < pages; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "/d%03" PRIu64, i / kPagesPerFolder);
    const std::string folder = root + name;
    if (i % kPagesPerFolder == 0 && mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
      std::fprintf(stderr, "make_page_tree: %s: %s\n", folder.c_str(), std::strerror(errno));
      return 1;
    }
    std::snprintf(name, sizeof name, "/p%06" PRIu64 ".htm", i);
    const std::string path = folder + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
      std::fprintf(stderr, "make_page_tree: %s: %s\n", path.c_str(), std::strerror(errno));
      return 1;
    }
    bool failed = false;
    const CorpusStats stats =
        WriteCorpus(CorpusKind::kPage, PageSize(sizes), start_value + i,
                    [&](const char* bytes, std::size_t length) {
                      if (!failed && std::fwrite(bytes, 1, length, file) != length) {
                        failed = true;
                      }
                    });
    if (std::fclose(file) != 0 || failed) {
      std::fprintf(stderr, "make_page_tree: %s: write failed\n", path.c_str());
      return 1;
    }
    total.bytes += stats.bytes;
    total.records += stats.records;
  }
  std::printf("pages=%" PRIu64 " bytes=%" PRIu64 " records=%" PRIu64 "\n", pages, total.bytes,
              total.records);
  return 0;
}
