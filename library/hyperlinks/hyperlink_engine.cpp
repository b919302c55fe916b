#include "library/hyperlinks/hyperlink_engine.h"

#include <algorithm>
#include <stdexcept>

namespace quillon {
namespace {

// A byte order mark is at most three bytes: with the caller's label, no more is held.
constexpr size_t kBomLength = 3;

}  // namespace

HyperlinkEngine::HyperlinkEngine(const HyperlinkOptions& options)
    : all_schemes_(options.all_schemes) {
  for (size_t i = 0; i < options.keywords.size(); ++i) {
    std::string_view text = options.keywords[i].substr(0, options.keywords[i].find('\0'));
    keywords_[i].assign(text.data(), text.size());
    has_keywords_ = has_keywords_ || !text.empty();
  }
  if (!SetCharset(options.charset)) throw std::invalid_argument("the charset names no encoding");
  if (!SetPageUrl(options.page_url)) throw std::invalid_argument("the page's URL does not parse");
}

HyperlinkEngine::~HyperlinkEngine() = default;

bool HyperlinkEngine::SetPageUrl(std::string_view page_url) {
  if (page_url.empty()) {
    page_url_.reset();
    return true;
  }
  url::Url parsed;
  if (!url::Parse(page_url, nullptr, parsed)) return false;
  page_url_ = parsed;
  return true;
}

bool HyperlinkEngine::SetCharset(std::string_view label) {
  charset_.reset();
  if (label.empty()) return true;
  charset_ = encoding::ForLabel(label);
  return charset_.has_value();
}

std::uint64_t HyperlinkEngine::long_hrefs_skipped() const {
  return tokenizer_.long_hrefs_skipped();
}

std::optional<encoding::Encoding> HyperlinkEngine::page_encoding() const {
  if (stage_ == Stage::kSniffing || stage_ == Stage::kNothing) return std::nullopt;
  return encoding_;
}

void HyperlinkEngine::Reset() {
  Clear();
  page_open_ = false;
}

void HyperlinkEngine::BeginPage() {
  if (page_open_) return;
  Clear();
  page_open_ = true;
}

void HyperlinkEngine::Clear() {
  tokenizer_.Reset();
  if (converter_) converter_->Reset();
  stage_ = Stage::kSniffing;
  head_size_ = 0;
  base_met_ = false;
  base_parsed_ = false;
  hrefs_failed_ = 0;
}

void HyperlinkEngine::Feed(const unsigned char* bytes, size_t size, RecordSink& sink) {
  BeginPage();
  sink_ = &sink;
  if (stage_ == Stage::kSniffing) {
    // Held until the encoding can be told: the mark's three bytes when the caller named an
    // encoding, else the prescan's 1024.
    size_t wanted = charset_ ? kBomLength : sizeof head_;
    size_t taken = std::min(size, wanted - std::min(wanted, head_size_));
    std::copy(bytes, bytes + taken, head_ + head_size_);
    head_size_ += taken;
    bytes += taken;
    size -= taken;
    if (head_size_ < wanted) return;
    StartReading();
  }
  Tokenize(bytes, size);
}

void HyperlinkEngine::Finish(RecordSink& sink) {
  BeginPage();
  sink_ = &sink;
  if (stage_ == Stage::kSniffing) StartReading();
  if (stage_ == Stage::kConverting) converter_->Finish(*this);
  tokenizer_.Finish(*this);
  // The next page's first call starts it afresh: until then its encoding and counts stay
  // readable.
  page_open_ = false;
  sink_ = nullptr;
}

void HyperlinkEngine::StartReading() {
  // With the caller's label only the mark's bytes are held: the prescan is not needed.
  const encoding::Sniffed sniffed = encoding::SniffEncoding(head_, head_size_, charset_);
  encoding_ = sniffed.encoding;
  const size_t skip = sniffed.bom_length;
  if (encoding_ == encoding::Encoding::kUtf8) {
    stage_ = Stage::kUtf8;
  } else {
    // The converter's own failure to open leaves the page unread rather than misread.
    stage_ = Stage::kNothing;
    if (!converter_ || converter_->encoding() != encoding_) {
      converter_.reset();
      converter_.emplace(encoding_);
    }
    stage_ = Stage::kConverting;
  }
  Tokenize(head_ + skip, head_size_ - skip);
}

void HyperlinkEngine::Tokenize(const unsigned char* bytes, size_t size) {
  if (size == 0) return;
  switch (stage_) {
    case Stage::kUtf8:
      tokenizer_.Feed(bytes, size, *this);
      break;
    case Stage::kConverting:
      converter_->Feed(bytes, size, *this);
      break;
    case Stage::kSniffing:
    case Stage::kNothing:
      break;
  }
}

void HyperlinkEngine::Utf8(const unsigned char* bytes, size_t size) {
  tokenizer_.Feed(bytes, size, *this);
}

void HyperlinkEngine::Href(html::HrefTag tag, std::string_view href) {
  const url::Url* page = page_url_ ? &*page_url_ : nullptr;
  if (tag == html::HrefTag::kBase) {
    // The first base href sets the base for the links after it; one that fails to parse
    // leaves the page's URL.
    if (!base_met_) base_parsed_ = url::Parse(href, page, base_);
    base_met_ = true;
    return;
  }
  const url::Url* base = base_parsed_ ? &base_ : page;
  if (!url::Parse(href, base, link_)) {
    ++hrefs_failed_;
    return;
  }
  std::string_view scheme = link_.scheme();
  if (!all_schemes_ && scheme != "http" && scheme != "https") return;
  std::string_view link = link_.href();
  if (has_keywords_ && Excluded(link)) return;
  sink_->Record(link.data(), link.size());
}

bool HyperlinkEngine::Excluded(std::string_view link) const {
  for (const std::string& keyword : keywords_) {
    if (!keyword.empty() && link.find(keyword) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace quillon
