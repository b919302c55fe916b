#include "warc/http_payload.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "warc/header_fields.h"

namespace warc {
namespace {

bool IsHtml(std::string_view type) {
  return type.empty() || EqualsIgnoringCase(type, "text/html") ||
         EqualsIgnoringCase(type, "application/xhtml+xml");
}

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Where the blank line that ends a header block ends, searching from `from`; 0 when it is not
// there yet.
size_t HeaderEnd(const char* header, size_t size, size_t from) {
  for (size_t i = from; i < size; ++i) {
    if (header[i] != '\n') continue;
    if (i + 1 < size && header[i + 1] == '\n') return i + 2;
    if (i + 2 < size && header[i + 1] == '\r' && header[i + 2] == '\n') return i + 3;
  }
  return 0;
}

}  // namespace

HttpPayload::HttpPayload(PageConsumer& consumer)
    : consumer_(consumer), header_(std::make_unique_for_overwrite<char[]>(kLongestHeader)) {}

void HttpPayload::Start(const RecordPlace& place, std::string_view target_uri, bool truncated) {
  place_ = place;
  truncated_ = truncated;
  target_uri_ = target_uri;
  header_size_ = 0;
  state_ = State::kHeader;
  page_open_ = false;
}

void HttpPayload::Damaged(std::string_view what) {
  consumer_.Damage(place_, what);
  if (page_open_) consumer_.EndPage(false);
  page_open_ = false;
  state_ = State::kSkip;
}

void HttpPayload::Feed(const unsigned char* bytes, size_t size) {
  if (state_ == State::kHeader) {
    size_t consumed = 0;
    if (!TakeHeader(consumed, bytes, size)) return;
    bytes += consumed;
    size -= consumed;
  }
  if (state_ == State::kBody && size > 0) {
    if (chunked_) {
      Unchunk(bytes, size);
    } else {
      Decode(bytes, size);
    }
  }
}

bool HttpPayload::TakeHeader(size_t& consumed, const unsigned char* bytes, size_t size) {
  // Taken a little at a time: what follows the header is the body, which need not be copied.
  const size_t before = header_size_;
  const size_t available = std::min(size, kLongestHeader - header_size_);
  size_t end = 0;
  size_t taken = 0;
  while (end == 0 && taken < available) {
    const size_t step = std::min<size_t>(available - taken, 1024);
    std::memcpy(header_.get() + header_size_, bytes + taken, step);
    const size_t searched = header_size_;
    header_size_ += step;
    taken += step;
    end = HeaderEnd(header_.get(), header_size_, searched >= 2 ? searched - 2 : 0);
  }
  if (end == 0) {
    if (header_size_ == kLongestHeader) Damaged("HTTP header longer than 64 KiB");
    consumed = taken;
    return false;
  }
  consumed = end - before;
  header_size_ = end;
  StartBody();
  return state_ == State::kBody;
}

void HttpPayload::StartBody() {
  const std::string_view header(header_.get(), header_size_);
  if (!header.starts_with("HTTP/")) return Damaged("malformed HTTP response header");
  const size_t first_line_end = header.find('\n');
  const std::string_view fields = header.substr(first_line_end + 1);
  const MediaType media = ParseMediaType(FindField(fields, "Content-Type").value_or(""));
  if (!IsHtml(media.type)) {
    state_ = State::kSkip;
    return;
  }
  const std::string_view transfer = FindField(fields, "Transfer-Encoding").value_or("");
  chunked_ = EqualsIgnoringCase(transfer, "chunked");
  if (!chunked_ && !transfer.empty() && !EqualsIgnoringCase(transfer, "identity")) {
    return Damaged("payload in a transfer coding that cannot be decoded");
  }
  chunk_ = Chunk::kSize;
  chunk_left_ = 0;
  size_digits_ = 0;
  ContentDecoder::Coding coding;
  if (!ContentDecoder::ParseCoding(FindField(fields, "Content-Encoding").value_or(""), coding)) {
    return Damaged("payload in a content coding that cannot be decoded");
  }
  if (!decoder_.Start(coding)) return Damaged("no memory for the payload's decoder");
  state_ = State::kBody;
  page_open_ = true;
  consumer_.StartPage(PageStart{target_uri_, media.charset, place_});
}

void HttpPayload::Decode(const unsigned char* bytes, size_t size) {
  if (!decoder_.Put(bytes, size, consumer_)) Damaged("payload cannot be decoded");
}

void HttpPayload::Unchunk(const unsigned char* bytes, size_t size) {
  const unsigned char* end = bytes + size;
  while (bytes < end && state_ == State::kBody) {
    const unsigned char c = *bytes;
    switch (chunk_) {
      case Chunk::kSize:
      case Chunk::kExtension:
        ++bytes;
        if (c == '\n') {
          if (size_digits_ == 0) return Damaged("malformed chunked payload");
          chunk_ = chunk_left_ == 0 ? Chunk::kTrailer : Chunk::kData;
        } else if (chunk_ == Chunk::kSize && HexValue(c) >= 0) {
          if (++size_digits_ > 15) return Damaged("malformed chunked payload");
          chunk_left_ = chunk_left_ * 16 + static_cast<std::uint64_t>(HexValue(c));
        } else if (c == ';' || c == ' ' || c == '\t' || c == '\r') {
          chunk_ = Chunk::kExtension;
        } else if (chunk_ == Chunk::kSize) {
          return Damaged("malformed chunked payload");
        }
        break;
      case Chunk::kData: {
        const size_t take = static_cast<size_t>(
            std::min<std::uint64_t>(chunk_left_, static_cast<size_t>(end - bytes)));
        chunk_left_ -= take;
        if (chunk_left_ == 0) chunk_ = Chunk::kDataEnd;
        Decode(bytes, take);
        bytes += take;
        break;
      }
      case Chunk::kDataEnd:
        ++bytes;
        if (c == '\n') {
          chunk_ = Chunk::kSize;
          size_digits_ = 0;
        } else if (c != '\r') {
          return Damaged("malformed chunked payload");
        }
        break;
      case Chunk::kTrailer:
        ++bytes;
        if (c == '\n') {
          chunk_ = Chunk::kDone;
        } else if (c != '\r') {
          chunk_ = Chunk::kTrailerLine;
        }
        break;
      case Chunk::kTrailerLine:
        ++bytes;
        if (c == '\n') chunk_ = Chunk::kTrailer;
        break;
      case Chunk::kDone:
        return;
    }
  }
}

void HttpPayload::Finish() {
  if (state_ == State::kHeader) return Damaged("HTTP header cut short");
  if (state_ != State::kBody) return;
  const bool chunks_ended = !chunked_ || chunk_ == Chunk::kDone || chunk_ == Chunk::kTrailer;
  if (!chunks_ended && !truncated_) return Damaged("chunked payload cut short");
  if (!decoder_.Finish() && !truncated_) return Damaged("coded payload cut short");
  state_ = State::kSkip;
  page_open_ = false;
  consumer_.EndPage(true);
}

void HttpPayload::Abort() {
  if (page_open_) consumer_.EndPage(false);
  page_open_ = false;
  state_ = State::kSkip;
}

}  // namespace warc
