#pragma once
// What finds a page's links for the archive iterators: the classic rules' engine or the HTML
// rules'. It runs on the archive's reading thread and never touches Python.
#include <cstddef>
#include <memory>
#include <string>

#include "library/engine.h"
#include "library/hyperlinks/hyperlink_engine.h"
#include "warc/page_consumer.h"

namespace quillon_python {

class PageLinkFinder {
 public:
  virtual ~PageLinkFinder() = default;
  // Whether the links are serialized URLs (ASCII, given as str) rather than bytes.
  virtual bool GivesUrls() const = 0;
  // A page begins (its URI and charset, for rules that resolve or decode). Returns false, with
  // why in `problem`, when these rules cannot read it; it is then fed nothing and stopped.
  virtual bool Start(const warc::PageStart& page, std::string& problem) = 0;
  // May throw std::exception (no memory for what the page needs): the page is then stopped.
  virtual void Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) = 0;
  // The page ended intact: its last links go to `sink`. May throw as Feed.
  virtual void Finish(quillon::RecordSink& sink) = 0;
  // The page was cut short: what is open is dropped.
  virtual void Stop() = 0;
};

class ClassicLinkFinder final : public PageLinkFinder {
 public:
  explicit ClassicLinkFinder(const quillon::KeywordTexts& keywords);
  bool GivesUrls() const override { return false; }
  bool Start(const warc::PageStart& page, std::string& problem) override;
  void Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) override;
  void Finish(quillon::RecordSink& sink) override;
  void Stop() override;

 private:
  quillon::Engine engine_;
};

// Each page's URL is its target URI, its charset the HTTP header's (a label naming no encoding
// is ignored, as a browser ignores it); a page whose URI does not parse is not read.
class HyperlinkFinder final : public PageLinkFinder {
 public:
  // `options` without a page URL or charset; throws std::bad_alloc.
  explicit HyperlinkFinder(const quillon::HyperlinkOptions& options);
  bool GivesUrls() const override { return true; }
  bool Start(const warc::PageStart& page, std::string& problem) override;
  void Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) override;
  void Finish(quillon::RecordSink& sink) override;
  void Stop() override;

 private:
  // Too big for a thread's stack, and made once for every page.
  std::unique_ptr<quillon::HyperlinkEngine> engine_;
};

}  // namespace quillon_python
