// The forms of records that wget does not write (header names in other cases, WARC/1.1, URIs
// without brackets, resource records, chunk extensions and trailers), read whole and in
// pieces of any size, plain and gzip; and damage in a plain archive, each piece reported at
// its record's offset with the records around it intact.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "warc/archive_reader.h"

namespace {

struct Page {
  std::string uri, charset, body;
  bool complete = false;
  bool operator==(const Page&) const = default;
};

void PrintTo(const Page& page, std::ostream* out) {
  *out << "{" << page.uri << ", " << page.charset << ", " << page.body << ", " << page.complete
       << "}";
}

class Collected final : public warc::PageConsumer {
 public:
  void StartPage(const warc::PageStart& page) override {
    pages.push_back({std::string(page.target_uri), std::string(page.charset), "", false});
  }
  void PageBytes(const unsigned char* bytes, size_t size) override {
    pages.back().body.append(reinterpret_cast<const char*>(bytes), size);
  }
  void EndPage(bool complete) override { pages.back().complete = complete; }
  void Damage(const warc::RecordPlace& place, std::string_view) override {
    damage.push_back(place.stored);
  }
  std::vector<Page> pages;
  std::vector<std::uint64_t> damage;
};

// Hands the bytes over in pieces of `piece` bytes.
class Pieces final : public warc::ByteSource {
 public:
  Pieces(const std::string& bytes, size_t piece) : bytes_(bytes), piece_(piece) {}
  ssize_t Read(unsigned char* buffer, size_t size) override {
    size = std::min({size, piece_, bytes_.size() - at_});
    std::copy_n(bytes_.data() + at_, size, buffer);
    at_ += size;
    return static_cast<ssize_t>(size);
  }

 private:
  const std::string& bytes_;
  size_t piece_;
  size_t at_ = 0;
};

Collected Read(const std::string& archive, size_t piece) {
  Collected collected;
  Pieces source(archive, piece);
  // Blocks smaller than the records where pieces are small: the streaming inflater's way; the
  // second thread that inflates ahead where they are not.
  const bool small = piece < 8;
  warc::ArchiveReader reader(source, collected, small ? 100 : 1 << 20, small ? 300 : 4 << 20,
                             !small);
  EXPECT_TRUE(reader.Run());
  return collected;
}

std::string Gzip(const std::string& bytes) {
  z_stream stream{};
  deflateInit2(&stream, 6, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, bytes.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::string Record(const std::string& fields, const std::string& block) {
  return "WARC/1.1\r\n" + fields + "Content-Length: " + std::to_string(block.size()) + "\r\n\r\n" +
         block + "\r\n\r\n";
}

const std::string kHtml = "<a href=\"http://x/\">x</a>";

TEST(WarcRecords, FormsAreReadWhateverTheStorageAndPieces) {
  const std::vector<std::string> records = {
      Record("warc-type: response\r\nwarc-target-uri: http://a/ \r\n"
             "content-type: application/http\r\n",
             "HTTP/1.1 200 OK\r\ncontent-type: text/html; charset=\"utf-8\"\r\n\r\n" + kHtml),
      Record("WARC-Type: resource\r\nWARC-Target-URI: <http://b/>\r\n"
             "Content-Type: text/html; charset=iso-8859-1\r\n",
             kHtml),
      Record("WARC-Type: request\r\nWARC-Target-URI: <http://c/>\r\n"
             "Content-Type: application/http;msgtype=request\r\n",
             "GET / HTTP/1.1\r\n\r\n"),
      Record("WARC-Type: response\r\nWARC-Target-URI: <http://d/>\r\n"
             "Content-Type: application/http;msgtype=response\r\n",
             "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n\r\n" + kHtml),
      Record("WARC-Type: resource\r\nWARC-Target-URI: <http://e/>\r\nContent-Type: text/plain\r\n",
             kHtml),
      Record("WARC-TYPE: RESPONSE\r\nWARC-Target-URI: <http://f/>\r\n"
             "Content-Type: application/http; msgtype=response\r\n",
             "HTTP/1.0 200 OK\nTransfer-Encoding: Chunked\n\n"
             "5;name=value\r\n<a hr\r\n14\r\nef=\"http://x/\">x</a>\r\n0\r\nTrailer: t\r\n\r\n"),
      // Cut short by its writer, as it says: no damage.
      Record("WARC-Type: response\r\nWARC-Target-URI: <http://g/>\r\nWARC-Truncated: length\r\n"
             "Content-Type: application/http; msgtype=response\r\n",
             "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n40\r\n" + kHtml),
  };
  const std::vector<Page> expected = {{"http://a/", "utf-8", kHtml, true},
                                      {"http://b/", "iso-8859-1", kHtml, true},
                                      {"http://f/", "", kHtml, true},
                                      {"http://g/", "", kHtml, true}};
  std::string plain, per_record;
  for (const std::string& record : records) {
    plain += record;
    per_record += Gzip(record);
  }
  for (const std::string& archive : {plain, per_record, Gzip(plain)}) {
    for (size_t piece : {1, 3, 4096}) {
      const Collected collected = Read(archive, piece);
      EXPECT_EQ(collected.pages, expected) << "piece " << piece;
      EXPECT_TRUE(collected.damage.empty());
    }
  }
}

TEST(WarcRecords, DamageIsReportedAtItsRecordAndReadingGoesOn) {
  const std::string page = Record(
      "WARC-Type: resource\r\nWARC-Target-URI: <http://a/>\r\nContent-Type: text/html\r\n", kHtml);
  const std::string no_length = "WARC/1.0\r\nWARC-Type: resource\r\n\r\n" + kHtml + "\r\n";
  const std::string long_header = "WARC/1.0\r\nX: " + std::string(70000, 'x') + "\r\n\r\n";
  const std::string bad_http =
      Record("WARC-Type: response\r\nContent-Type: application/http\r\n",
             "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\nnot gzip at all");
  const std::string past_end =
      "WARC/1.0\r\nContent-Type: text/html\r\nWARC-Type: resource\r\n"
      "Content-Length: 999\r\n\r\n" +
      kHtml;
  const std::string archive =
      page + no_length + page + "garbage\r\n" + long_header + page + bad_http + page + past_end;
  const std::uint64_t second_page = page.size() + no_length.size();
  const std::uint64_t bad_http_at = 3 * page.size() + no_length.size() + 9 + long_header.size();
  const std::vector<std::uint64_t> expected_damage = {page.size(), second_page + page.size(),
                                                      second_page + page.size() + 9, bad_http_at,
                                                      bad_http_at + bad_http.size() + page.size()};
  const Page a{"http://a/", "", kHtml, true};
  const std::vector<Page> expected = {a, a, a, {"", "", "", false}, a, {"", "", kHtml, false}};
  for (size_t piece : {1, 7, 1 << 20}) {
    const Collected collected = Read(archive, piece);
    EXPECT_EQ(collected.pages, expected) << "piece " << piece;
    EXPECT_EQ(collected.damage, expected_damage) << "piece " << piece;
  }
}

}  // namespace
