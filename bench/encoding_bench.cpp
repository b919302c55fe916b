// encoding_bench FILE: ToUtf8 over a page already in memory, in 64 KiB chunks, best of seven,
// beside memcpy of the same bytes. FILE is a Shift_JIS page (make_corpus page); it is read as
// Shift_JIS (glibc's iconv), as windows-1252 (a table), as UTF-8 (every Japanese character a
// run of invalid bytes), and, converted once to UTF-8, as valid UTF-8. Prints MB/s of input.
#include <time.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "library/encoding/to_utf8.h"

namespace {

using quillon::encoding::Encoding;
using quillon::encoding::ToUtf8;

constexpr size_t kChunk = 64 * 1024;

struct Counted : quillon::encoding::Utf8Sink {
  unsigned long long bytes = 0;
  void Utf8(const unsigned char*, size_t size) override { bytes += size; }
};

struct Kept : quillon::encoding::Utf8Sink {
  std::string text;
  void Utf8(const unsigned char* bytes, size_t size) override {
    text.append(reinterpret_cast<const char*>(bytes), size);
  }
};

template <typename Work>
double BestSeconds(Work work) {
  double best = 1e30;
  for (int run = 0; run < 7; ++run) {
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

template <typename Sink>
void Convert(ToUtf8& converter, const std::string& page, Sink& sink) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(page.data());
  for (size_t p = 0; p < page.size(); p += kChunk) {
    converter.Feed(bytes + p, std::min(kChunk, page.size() - p), sink);
  }
  converter.Finish(sink);
}

void Report(const char* what, const std::string& page, Encoding encoding) {
  ToUtf8 converter(encoding);
  Counted sink;
  const double seconds = BestSeconds([&] { Convert(converter, page, sink); });
  std::printf("%-40s %8.0f MB/s  (%llu bytes out per run)\n", what,
              static_cast<double>(page.size()) / seconds / 1e6, sink.bytes / 7);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: encoding_bench SHIFT_JIS_PAGE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (page.empty()) {
    std::fprintf(stderr, "encoding_bench: cannot read %s\n", argv[1]);
    return 1;
  }
  Kept utf8;
  ToUtf8 to_utf8(Encoding::kShiftJis);
  Convert(to_utf8, page, utf8);

  std::vector<unsigned char> copy(kChunk);
  const double copy_seconds = BestSeconds([&] {
    for (size_t p = 0; p < utf8.text.size(); p += kChunk) {
      std::memcpy(copy.data(), utf8.text.data() + p, std::min(kChunk, utf8.text.size() - p));
    }
  });
  std::printf("%-40s %8.0f MB/s\n", "memcpy (UTF-8 page, 64 KiB chunks)",
              static_cast<double>(utf8.text.size()) / copy_seconds / 1e6);
  Report("UTF-8, valid (the page in UTF-8)", utf8.text, Encoding::kUtf8);
  Report("UTF-8, invalid (Shift_JIS bytes)", page, Encoding::kUtf8);
  Report("windows-1252 (table)", page, Encoding::kWindows1252);
  Report("Shift_JIS (iconv CP932)", page, Encoding::kShiftJis);
  Report("EUC-JP (iconv, the Shift_JIS bytes)", page, Encoding::kEucJp);
  return 0;
}
