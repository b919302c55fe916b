#pragma once
// The HTTP response in a WARC response record: its status line and header read (bounded), and
// when it is an HTML page, its body handed on with the chunked transfer coding and the content
// coding removed.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "warc/content_decoder.h"
#include "warc/page_consumer.h"

namespace warc {

class HttpPayload {
 public:
  explicit HttpPayload(PageConsumer& consumer);

  // A record's HTTP response begins; `target_uri` stays valid until Finish or Abort.
  // `truncated`: the record says its writer cut it short (WARC-Truncated), so a body that ends
  // early is no damage.
  void Start(const RecordPlace& place, std::string_view target_uri, bool truncated);
  // The next bytes of the record's block.
  void Feed(const unsigned char* bytes, size_t size);
  // The record's block has ended.
  void Finish();
  // The record was cut short; its damage is reported by the caller.
  void Abort();

  // The longest status line and header read; a longer one is damage.
  static constexpr size_t kLongestHeader = 64 * 1024;

 private:
  enum class State { kHeader, kBody, kSkip };
  enum class Chunk { kSize, kExtension, kData, kDataEnd, kTrailer, kTrailerLine, kDone };

  // Ends the header held so far when it is complete: true when the body may follow.
  bool TakeHeader(size_t& consumed, const unsigned char* bytes, size_t size);
  void StartBody();
  void Decode(const unsigned char* bytes, size_t size);
  void Unchunk(const unsigned char* bytes, size_t size);
  void Damaged(std::string_view what);

  PageConsumer& consumer_;
  ContentDecoder decoder_;
  std::unique_ptr<char[]> header_;
  size_t header_size_ = 0;
  State state_ = State::kSkip;
  RecordPlace place_;
  std::string_view target_uri_;
  bool page_open_ = false;
  bool truncated_ = false;
  bool chunked_ = false;
  Chunk chunk_ = Chunk::kSize;
  std::uint64_t chunk_left_ = 0;
  int size_digits_ = 0;
};

}  // namespace warc
