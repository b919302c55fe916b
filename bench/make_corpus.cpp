// make_corpus KIND MEGABYTES OUTPUT [START_VALUE]
// Writes one benchmark corpus (KIND: page, anchors or text) of at least MEGABYTES MiB to OUTPUT
// and prints what it holds as "bytes=N opens=N records=N" (records: the lines the extractor
// has to write for it with no exclusion keyword).
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/corpus.h"

namespace {

// Fixed so that every machine builds the same corpora.
constexpr std::uint64_t kDefaultStartValue = 19970401;

bool ParseNumber(const char* text, std::uint64_t& number) {
  char* end = nullptr;
  errno = 0;
  number = std::strtoull(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: make_corpus page|anchors|text MEGABYTES OUTPUT [START_VALUE]\n");
    return 2;
  }
  const std::optional<CorpusKind> kind = ParseCorpusKind(argv[1]);
  std::uint64_t megabytes = 0;
  std::uint64_t start_value = kDefaultStartValue;
  if (!kind || !ParseNumber(argv[2], megabytes) ||
      (argc == 5 && !ParseNumber(argv[4], start_value))) {
    std::fprintf(stderr, "make_corpus: bad kind or number\n");
    return 2;
  }
  std::FILE* file = std::fopen(argv[3], "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "make_corpus: %s: %s\n", argv[3], std::strerror(errno));
    return 1;
  }
  bool failed = false;
  const CorpusStats stats =
      WriteCorpus(*kind, megabytes << 20, start_value, [&](const char* bytes, std::size_t length) {
        if (!failed && std::fwrite(bytes, 1, length, file) != length) failed = true;
      });
  if (std::fclose(file) != 0) failed = true;
  if (failed) {
    std::fprintf(stderr, "make_corpus: %s: write failed\n", argv[3]);
    std::remove(argv[3]);
    return 1;
  }
  std::printf("bytes=%" PRIu64 " opens=%" PRIu64 " records=%" PRIu64 "\n", stats.bytes, stats.opens,
              stats.records);
  return 0;
}
