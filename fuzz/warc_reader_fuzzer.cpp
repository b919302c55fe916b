// Fuzzes the WARC reader: arbitrary bytes read as an archive as they are, or first gzipped as
// one stream or as one member per "WARC/" (so that mutations reach the records inside), and
// handed over in pieces of a size the input picks, through blocks of a size it picks too,
// with members inflated ahead on a second thread or not. Beyond
// what the sanitizers catch, the pages must come as StartPage, bytes, EndPage, never nested, and
// every offset reported must lie inside the archive as stored.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "warc/archive_reader.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "warc reader fuzzer: %s\n", what);
  std::abort();
}

class Checked final : public warc::PageConsumer {
 public:
  explicit Checked(size_t stored_size) : stored_size_(stored_size) {}
  void StartPage(const warc::PageStart& page) override {
    if (open_) Fail("a page started inside another");
    Check(page.place);
    open_ = true;
  }
  void PageBytes(const unsigned char* bytes, size_t size) override {
    if (!open_) Fail("page bytes outside a page");
    if (size == 0) Fail("an empty piece of a page");
    // Touches every byte handed over, for the address sanitizer.
    for (size_t i = 0; i < size; ++i) sum_ += bytes[i];
  }
  void EndPage(bool) override {
    if (!open_) Fail("a page ended that had not started");
    open_ = false;
  }
  void Damage(const warc::RecordPlace& place, std::string_view what) override {
    if (what.empty()) Fail("damage without a reason");
    Check(place);
  }
  bool open() const { return open_; }

 private:
  void Check(const warc::RecordPlace& place) const {
    if (place.stored >= std::max<size_t>(stored_size_, 1)) Fail("an offset past the archive");
  }
  size_t stored_size_;
  bool open_ = false;
  unsigned sum_ = 0;
};

class Pieces final : public warc::ByteSource {
 public:
  Pieces(std::string_view bytes, size_t piece) : bytes_(bytes), piece_(piece) {}
  ssize_t Read(unsigned char* buffer, size_t size) override {
    size = std::min({size, piece_, bytes_.size()});
    std::copy_n(bytes_.data(), size, buffer);
    bytes_.remove_prefix(size);
    return static_cast<ssize_t>(size);
  }

 private:
  std::string_view bytes_;
  size_t piece_;
};

std::string Gzip(std::string_view bytes) {
  z_stream stream{};
  if (deflateInit2(&stream, 1, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK) Fail("deflateInit2");
  std::string out(deflateBound(&stream, bytes.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) Fail("deflate");
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::string GzipPerRecord(std::string_view bytes) {
  std::string out;
  while (!bytes.empty()) {
    size_t next = bytes.find("WARC/", 1);
    if (next == std::string_view::npos) next = bytes.size();
    out += Gzip(bytes.substr(0, next));
    bytes.remove_prefix(next);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned choice = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string stored;
  switch (choice % 3) {
    case 0:
      stored = input;
      break;
    case 1:
      stored = Gzip(input);
      break;
    default:
      stored = GzipPerRecord(input);
      break;
  }
  const size_t piece = choice / 3 == 0 ? stored.size() + 1 : choice / 3;
  Checked consumer(stored.size());
  Pieces source(stored, piece);
  // Small blocks, so that members outgrow them and the streaming inflater and the refills of
  // the stored block are taken often.
  warc::ArchiveReader reader(source, consumer, 64 + choice, 256 + 8 * choice, size % 2 == 0);
  if (!reader.Run()) Fail("reading from memory failed");
  if (consumer.open()) Fail("a page left open at the end");
  return 0;
}
