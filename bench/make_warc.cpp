// make_warc FILE PAGES [START_VALUE]
// Writes a .warc.gz as a crawler would: a warcinfo record, then for each of PAGES real-looking
// pages (the page corpus, 2 to 100 KB, smaller ones more often, as make_page_tree makes them)
// a request record and a response record holding its HTTP response, each record its own gzip
// member (zlib, level 6). Prints "pages=N inflated=N records=N" (records: the lines
// quillon --list --warc has to write).
#include <zlib.h>

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/corpus.h"
#include "bench/corpus_random.h"

namespace {

constexpr std::uint64_t kDefaultStartValue = 19970401;

bool ParseNumber(const char* text, std::uint64_t& number) {
  char* end = nullptr;
  errno = 0;
  number = std::strtoull(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

std::uint64_t PageSize(CorpusRandom& random) {
  return static_cast<std::uint64_t>(
      2000.0 * std::exp2(random.Below(1 << 20) / double(1 << 20) * std::log2(50.0)));
}

std::string Record(const char* type, const std::string& uri, const char* content_type,
                   const std::string& block) {
  return std::string("WARC/1.0\r\nWARC-Type: ") + type + "\r\nWARC-Target-URI: <" + uri +
         ">\r\nWARC-Date: 2026-12-09T12:00:00Z\r\nContent-Type: " + content_type +
         "\r\nContent-Length: " + std::to_string(block.size()) + "\r\n\r\n" + block + "\r\n\r\n";
}

bool WriteMember(std::FILE* file, const std::string& record, std::uint64_t& inflated) {
  z_stream stream{};
  if (deflateInit2(&stream, 6, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  std::string out(deflateBound(&stream, record.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(record.data()));
  stream.avail_in = static_cast<uInt>(record.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
  out.resize(stream.total_out);
  deflateEnd(&stream);
  inflated += record.size();
  return done && std::fwrite(out.data(), 1, out.size(), file) == out.size();
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t pages = 0;
  std::uint64_t start_value = kDefaultStartValue;
  if (argc < 3 || argc > 4 || !ParseNumber(argv[2], pages) ||
      (argc == 4 && !ParseNumber(argv[3], start_value))) {
    std::fprintf(stderr, "usage: make_warc FILE PAGES [START_VALUE]\n");
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  CorpusRandom sizes(start_value);
  std::uint64_t inflated = 0;
  std::uint64_t records = 0;
  bool written = WriteMember(
      file, Record("warcinfo", "", "application/warc-fields", "software: make_warc\r\n"), inflated);
  for (std::uint64_t i = 0; i < pages && written; ++i) {
    std::string page;
    const CorpusStats stats =
        WriteCorpus(CorpusKind::kPage, PageSize(sizes), start_value + i,
                    [&](const char* bytes, std::size_t length) { page.append(bytes, length); });
    records += stats.records;
    const std::string uri = "http://www.example.jp/site" + std::to_string(i % 97) + "/page" +
                            std::to_string(i) + ".html";
    const std::string request = "GET /page" + std::to_string(i) +
                                ".html HTTP/1.1\r\nHost: www.example.jp\r\nAccept: */*\r\n\r\n";
    const std::string response =
        "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=Shift_JIS\r\nContent-Length: " +
        std::to_string(page.size()) + "\r\nConnection: close\r\n\r\n" + page;
    written =
        WriteMember(file, Record("request", uri, "application/http;msgtype=request", request),
                    inflated) &&
        WriteMember(file, Record("response", uri, "application/http;msgtype=response", response),
                    inflated);
  }
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "make_warc: %s: write failed\n", argv[1]);
    return 1;
  }
  std::printf("pages=%" PRIu64 " inflated=%" PRIu64 " records=%" PRIu64 "\n", pages, inflated,
              records);
  return 0;
}
