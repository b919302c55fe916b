#pragma once
// What finds a page's links for the archive iterators: any engine-like object, the classic
// rules' engine here. It runs on the archive's reading thread and never touches Python.
#include <cstddef>

#include "library/engine.h"
#include "warc/page_consumer.h"

namespace quillon_python {

class PageLinkFinder {
 public:
  virtual ~PageLinkFinder() = default;
  // A page begins (its URI and charset, for rules that resolve or decode).
  virtual void Start(const warc::PageStart& page) = 0;
  virtual void Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) = 0;
  // The page ended intact: its last links go to `sink`.
  virtual void Finish(quillon::RecordSink& sink) = 0;
  // The page was cut short: what is open is dropped.
  virtual void Stop() = 0;
};

class ClassicLinkFinder final : public PageLinkFinder {
 public:
  explicit ClassicLinkFinder(const quillon::KeywordTexts& keywords);
  void Start(const warc::PageStart& page) override;
  void Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) override;
  void Finish(quillon::RecordSink& sink) override;
  void Stop() override;

 private:
  quillon::Engine engine_;
};

}  // namespace quillon_python
