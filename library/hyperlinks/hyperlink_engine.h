#pragma once
// The HTML rules: every a and area href of a page, resolved against the page's URL (or its first
// base href) as a browser resolves it, each record the URL's serialization.
//
// The same push interface as Engine: the page goes in, in chunks of any size, and the records
// come out in page order, the same whatever the chunking. The pipeline: the page's encoding
// (a byte order mark, else the caller's label, else the prescan of the first 1024 bytes, else
// UTF-8), a page in another encoding converted to UTF-8, the tokenizer, the URL parser, the
// scheme filter and the keywords. An engine allocates when it is made (and when a page's
// encoding differs from the last page's, for the converter) and never per record; its memory is
// bounded whatever the page. One engine serves one page at a time; engines on different threads
// share nothing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "library/encoding/encoding.h"
#include "library/engine.h"
#include "library/html/tokenizer.h"
#include "library/record_sink.h"
#include "library/url/url.h"

namespace quillon {

struct HyperlinkOptions {
  // The page's URL, against which its hrefs (and its first base href) are resolved. Empty:
  // none, and only absolute hrefs give links until a base href sets an absolute base.
  std::string_view page_url;
  // The encoding label the page arrives with (an HTTP charset, a user's choice), which a byte
  // order mark overrides. Empty: none.
  std::string_view charset;
  // Every scheme instead of http and https alone.
  bool all_schemes = false;
  // As Engine's: a link holding one of them, byte for byte, is left out.
  KeywordTexts keywords{};
};

class HyperlinkEngine final : private html::TagSink, private encoding::Utf8Sink {
 public:
  // Throws std::invalid_argument when the page URL does not parse or the charset names no
  // encoding, std::bad_alloc when memory runs out.
  explicit HyperlinkEngine(const HyperlinkOptions& options);
  HyperlinkEngine(const HyperlinkEngine&) = delete;
  HyperlinkEngine& operator=(const HyperlinkEngine&) = delete;
  ~HyperlinkEngine();

  // The URL of the pages from the next one on (call it between pages, not inside one).
  // Returns false, and keeps the URL it had, when `page_url` does not parse; empty means none.
  bool SetPageUrl(std::string_view page_url);
  // The charset label of the pages from the next one on (between pages, as SetPageUrl).
  // Returns false, and leaves the pages with no label, when `label` names no encoding (as a
  // browser ignores an HTTP charset it does not know); empty means none.
  bool SetCharset(std::string_view label);

  // Reads the next `size` bytes of the page; links found go to `sink`, in page order. Throws
  // std::bad_alloc or std::system_error when the converter for the page's encoding cannot be
  // made (the page then gives nothing more).
  void Feed(const unsigned char* bytes, size_t size, RecordSink& sink);
  // The page has ended: bytes held for the encoding's sniffing are read, a tag left open gives
  // nothing. The engine is then ready for the next page.
  void Finish(RecordSink& sink);
  // Ready for a new page, what was fed dropped.
  void Reset();

  // Of the page being read (or the last one finished): hrefs longer than html::kLongestHref
  // bytes, skipped; a and area hrefs that did not parse against the base.
  std::uint64_t long_hrefs_skipped() const;
  std::uint64_t hrefs_failed() const { return hrefs_failed_; }
  // The encoding the page is read in, once it is known.
  std::optional<encoding::Encoding> page_encoding() const;

 private:
  enum class Stage { kSniffing, kUtf8, kConverting, kNothing };

  // Makes ready for a page, once per page: on its first Feed or its Finish.
  void BeginPage();
  void Clear();
  void Href(html::HrefTag tag, std::string_view href) override;
  void Utf8(const unsigned char* bytes, size_t size) override;
  // Decides the encoding from the bytes held, and feeds them on.
  void StartReading();
  void Tokenize(const unsigned char* bytes, size_t size);
  bool Excluded(std::string_view link) const;

  std::array<std::string, 6> keywords_;
  bool has_keywords_ = false;
  bool all_schemes_;
  std::optional<encoding::Encoding> charset_;
  std::optional<url::Url> page_url_;

  html::Tokenizer tokenizer_;
  // The converter of the last page that needed one, kept for the next page in its encoding.
  std::optional<encoding::ToUtf8> converter_;

  // A page has been fed and not finished.
  bool page_open_ = false;
  Stage stage_ = Stage::kSniffing;
  encoding::Encoding encoding_ = encoding::Encoding::kUtf8;
  // The page's first bytes, held until its encoding is known.
  unsigned char head_[encoding::kPrescanLength];
  size_t head_size_ = 0;

  // Whether the page's first base href was met, and whether it parsed (into base_).
  bool base_met_ = false;
  bool base_parsed_ = false;
  url::Url base_;
  url::Url link_;
  std::uint64_t hrefs_failed_ = 0;
  RecordSink* sink_ = nullptr;
};

}  // namespace quillon
