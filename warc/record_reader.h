#pragma once
// Reads WARC records from the archive's inflated bytes, given in chunks of any size: each
// record's header (bounded), then its block by Content-Length. The blocks of HTML pages go on
// to the consumer; every other block is passed over. After damage it looks for the next line
// that opens with "WARC/".
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "warc/http_payload.h"
#include "warc/page_consumer.h"

namespace warc {

class RecordReader {
 public:
  explicit RecordReader(PageConsumer& consumer);

  // A gzip member starting at byte `stored` of the file begins; what follows are its bytes.
  void StartMember(std::uint64_t stored);
  // The member ended intact. A record that started with it must have ended with it too.
  void EndMember();
  // The member is damaged (`what`, reported here unless `report` is false): the record open in
  // it is dropped.
  void DropMember(std::string_view what, bool report = true);
  // The next inflated bytes (in a plain archive, the file's bytes).
  void Feed(const unsigned char* bytes, size_t size);
  // The archive has ended.
  void EndInput();

  // The longest record header read; a longer one is damage.
  static constexpr size_t kLongestHeader = 64 * 1024;

 private:
  enum class State { kHeader, kBody, kSeeking };
  enum class Block { kSkipped, kHttp, kResource };

  size_t TakeHeader(const unsigned char* bytes, size_t size);
  // Reads the complete header of header_size_ bytes; false when it is malformed.
  bool StartRecord();
  size_t TakeBody(const unsigned char* bytes, size_t size);
  size_t Seek(const unsigned char* bytes, size_t size);
  // Damage in the record open: it is dropped and the next one looked for in what follows
  // the first byte of its header.
  void Malformed(std::string_view what);
  void EndBlock(bool complete);
  RecordPlace PlaceAt(std::uint64_t position) const;
  // A record's header begins at `position` of the member (of the file, when plain).
  void OpenRecord(std::uint64_t position);
  // Whether a record's header or block is being read.
  bool RecordOpen() const;

  PageConsumer& consumer_;
  HttpPayload http_;
  std::unique_ptr<char[]> header_;
  size_t header_size_ = 0;
  State state_ = State::kHeader;
  Block block_ = Block::kSkipped;
  std::uint64_t body_left_ = 0;
  // Where the bytes fed come from: the stored offset of the gzip member (0 in a plain
  // archive) and the position of the next byte inside it.
  bool gzip_ = false;
  std::uint64_t member_ = 0;
  std::uint64_t position_ = 0;
  std::uint64_t record_start_ = 0;
  RecordPlace record_place_;
  bool record_opens_member_ = false;
  bool member_has_record_ = false;
  // While seeking: how much of "WARC/" the current line has shown; -1 past a line's start.
  int seek_matched_ = 0;
  std::string_view target_uri_;
};

}  // namespace warc
