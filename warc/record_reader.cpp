#include "warc/record_reader.h"

#include <algorithm>
#include <cstring>

#include "warc/header_fields.h"

namespace warc {
namespace {

constexpr std::string_view kOpening = "WARC/";
constexpr size_t kHeaderStep = 1024;

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

std::string_view TargetUri(std::string_view value) {
  value = TrimBlanks(value);
  if (value.size() >= 2 && value.front() == '<' && value.back() == '>') {
    value = TrimBlanks(value.substr(1, value.size() - 2));
  }
  return value;
}

bool IsHtml(std::string_view type) {
  return EqualsIgnoringCase(type, "text/html") || EqualsIgnoringCase(type, "application/xhtml+xml");
}

}  // namespace

RecordReader::RecordReader(PageConsumer& consumer)
    : consumer_(consumer),
      http_(consumer),
      header_(std::make_unique_for_overwrite<char[]>(kLongestHeader)) {}

RecordPlace RecordReader::PlaceAt(std::uint64_t position) const {
  if (gzip_) return RecordPlace{member_, position, true};
  return RecordPlace{position, 0, false};
}

void RecordReader::OpenRecord(std::uint64_t position) {
  record_start_ = position;
  record_place_ = PlaceAt(position);
  record_opens_member_ = gzip_ && !member_has_record_;
  member_has_record_ = true;
}

bool RecordReader::RecordOpen() const {
  return state_ == State::kBody || (state_ == State::kHeader && header_size_ > 0);
}

void RecordReader::StartMember(std::uint64_t stored) {
  gzip_ = true;
  member_ = stored;
  position_ = 0;
  member_has_record_ = false;
  if (state_ == State::kSeeking) seek_matched_ = 0;
}

void RecordReader::EndMember() {
  if (!record_opens_member_ || !RecordOpen()) return;
  // One member per record: a record running past its member's end has a Content-Length
  // that lies, and the next member holds the next record.
  const bool in_body = state_ == State::kBody;
  consumer_.Damage(record_place_, in_body
                                      ? "Content-Length goes past the end of the gzip member"
                                      : "record header cut short at the end of the gzip member");
  if (in_body) EndBlock(false);
  state_ = State::kHeader;
  header_size_ = 0;
}

void RecordReader::DropMember(std::string_view what, bool report) {
  if (report) consumer_.Damage(RecordOpen() ? record_place_ : PlaceAt(0), what);
  if (state_ == State::kBody) EndBlock(false);
  header_size_ = 0;
  state_ = State::kSeeking;
  seek_matched_ = -1;
}

void RecordReader::EndInput() {
  if (RecordOpen()) {
    const bool in_body = state_ == State::kBody;
    consumer_.Damage(record_place_, in_body ? "Content-Length goes past the end of the file"
                                            : "record header cut short at the end of the file");
    if (in_body) EndBlock(false);
  }
  state_ = State::kHeader;
  header_size_ = 0;
}

void RecordReader::Feed(const unsigned char* bytes, size_t size) {
  while (size > 0) {
    size_t used;
    switch (state_) {
      case State::kHeader:
        used = TakeHeader(bytes, size);
        break;
      case State::kBody:
        used = TakeBody(bytes, size);
        break;
      default:
        used = Seek(bytes, size);
        break;
    }
    bytes += used;
    size -= used;
    position_ += used;
  }
}

size_t RecordReader::TakeHeader(const unsigned char* bytes, size_t size) {
  size_t skipped = 0;
  if (header_size_ == 0) {
    // The CR LF CR LF after the block before, and any blank line a writer adds.
    while (skipped < size && (bytes[skipped] == '\r' || bytes[skipped] == '\n')) ++skipped;
    if (skipped == size) return size;
    OpenRecord(position_ + skipped);
  }
  // Taken a little at a time: what follows the header is its block, which need not be copied.
  const size_t before = header_size_;
  const size_t available = std::min(size - skipped, kLongestHeader - header_size_);
  size_t end = 0;
  size_t taken = 0;
  while (end == 0 && taken < available) {
    const size_t step = std::min(available - taken, kHeaderStep);
    std::memcpy(header_.get() + header_size_ + taken, bytes + skipped + taken, step);
    const size_t searched = header_size_ + taken;
    taken += step;
    end = HeaderEnd(header_.get(), header_size_ + taken, searched >= 2 ? searched - 2 : 0);
  }
  header_size_ = end != 0 ? end : header_size_ + taken;
  const size_t used = skipped + (end != 0 ? end - before : taken);
  const size_t opening = std::min(header_size_, kOpening.size());
  if (std::memcmp(header_.get(), kOpening.data(), opening) != 0) {
    Malformed("malformed record header");
  } else if (end != 0) {
    if (!StartRecord()) Malformed("malformed record header");
  } else if (header_size_ == kLongestHeader) {
    Malformed("record header longer than 64 KiB");
  }
  return used;
}

bool RecordReader::StartRecord() {
  const std::string_view header(header_.get(), header_size_);
  const std::string_view fields = header.substr(header.find('\n') + 1);
  const std::optional<std::uint64_t> length =
      ParseLength(FindField(fields, "Content-Length").value_or(""));
  if (!length) return false;
  const std::string_view type = FindField(fields, "WARC-Type").value_or("");
  const MediaType media = ParseMediaType(FindField(fields, "Content-Type").value_or(""));
  target_uri_ = TargetUri(FindField(fields, "WARC-Target-URI").value_or(""));
  block_ = Block::kSkipped;
  if (EqualsIgnoringCase(type, "response") && EqualsIgnoringCase(media.type, "application/http") &&
      (media.msgtype.empty() || EqualsIgnoringCase(media.msgtype, "response"))) {
    block_ = Block::kHttp;
    http_.Start(record_place_, target_uri_, FindField(fields, "WARC-Truncated").has_value());
  } else if (EqualsIgnoringCase(type, "resource") && IsHtml(media.type)) {
    block_ = Block::kResource;
    consumer_.StartPage(PageStart{target_uri_, media.charset, record_place_});
  }
  state_ = State::kBody;
  body_left_ = *length;
  if (body_left_ == 0) {
    EndBlock(true);
    state_ = State::kHeader;
    header_size_ = 0;
  }
  return true;
}

void RecordReader::Malformed(std::string_view what) {
  for (;;) {
    consumer_.Damage(record_place_, what);
    // A record whose header was cut short runs into the next one's: that one is looked for
    // among the bytes already taken.
    const std::string_view header(header_.get(), header_size_);
    size_t next = header.find("\nWARC/");
    if (next == std::string_view::npos) break;
    ++next;
    std::memmove(header_.get(), header_.get() + next, header_size_ - next);
    header_size_ -= next;
    record_place_ = PlaceAt(record_start_ + next);
    record_start_ += next;
    record_opens_member_ = false;
    if (HeaderEnd(header_.get(), header_size_, 0) == 0) return;  // the rest is still to come
    if (StartRecord()) return;
  }
  // The end of what was taken may be the start of the next record's first line.
  const std::string_view header(header_.get(), header_size_);
  const size_t line = header.rfind('\n');
  const std::string_view tail = line == std::string_view::npos ? "" : header.substr(line + 1);
  seek_matched_ = line != std::string_view::npos && kOpening.starts_with(tail)
                      ? static_cast<int>(tail.size())
                      : -1;
  header_size_ = 0;
  state_ = State::kSeeking;
}

size_t RecordReader::TakeBody(const unsigned char* bytes, size_t size) {
  const size_t taken = static_cast<size_t>(std::min<std::uint64_t>(size, body_left_));
  if (block_ == Block::kHttp) {
    http_.Feed(bytes, taken);
  } else if (block_ == Block::kResource) {
    consumer_.PageBytes(bytes, taken);
  }
  body_left_ -= taken;
  if (body_left_ == 0) {
    EndBlock(true);
    state_ = State::kHeader;
    header_size_ = 0;
  }
  return taken;
}

void RecordReader::EndBlock(bool complete) {
  if (block_ == Block::kHttp) {
    if (complete) {
      http_.Finish();
    } else {
      http_.Abort();
    }
  } else if (block_ == Block::kResource) {
    consumer_.EndPage(complete);
  }
  block_ = Block::kSkipped;
}

size_t RecordReader::Seek(const unsigned char* bytes, size_t size) {
  for (size_t i = 0; i < size;) {
    if (seek_matched_ < 0) {
      const void* line_end = std::memchr(bytes + i, '\n', size - i);
      if (line_end == nullptr) return size;
      i = static_cast<size_t>(static_cast<const unsigned char*>(line_end) - bytes) + 1;
      seek_matched_ = 0;
      continue;
    }
    const unsigned char c = bytes[i++];
    if (c == static_cast<unsigned char>(kOpening[seek_matched_])) {
      if (++seek_matched_ < static_cast<int>(kOpening.size())) continue;
      std::memcpy(header_.get(), kOpening.data(), kOpening.size());
      header_size_ = kOpening.size();
      OpenRecord(position_ + i - kOpening.size());
      state_ = State::kHeader;
      return i;
    }
    seek_matched_ = c == '\n' ? 0 : -1;
  }
  return size;
}

}  // namespace warc
