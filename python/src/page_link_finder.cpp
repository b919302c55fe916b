#include "python/src/page_link_finder.h"

#include "python/src/engine_settings.h"

namespace quillon_python {

ClassicLinkFinder::ClassicLinkFinder(const quillon::KeywordTexts& keywords)
    : engine_(keywords, FixedClasses()) {}

bool ClassicLinkFinder::Start(const warc::PageStart&, std::string&) {
  engine_.Reset();
  return true;
}

void ClassicLinkFinder::Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) {
  engine_.Feed(bytes, size, sink);
}

void ClassicLinkFinder::Finish(quillon::RecordSink&) {
  engine_.Finish();
}

void ClassicLinkFinder::Stop() {
  engine_.Stop();
}

HyperlinkFinder::HyperlinkFinder(const quillon::HyperlinkOptions& options)
    : engine_(std::make_unique<quillon::HyperlinkEngine>(options)) {}

bool HyperlinkFinder::Start(const warc::PageStart& page, std::string& problem) {
  engine_->Reset();
  engine_->SetCharset(page.charset);
  if (engine_->SetPageUrl(page.target_uri) && !page.target_uri.empty()) return true;
  problem = "its WARC-Target-URI '" + std::string(page.target_uri) +
            "' is not an absolute URL: the page was not read";
  return false;
}

void HyperlinkFinder::Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) {
  engine_->Feed(bytes, size, sink);
}

void HyperlinkFinder::Finish(quillon::RecordSink& sink) {
  engine_->Finish(sink);
}

void HyperlinkFinder::Stop() {
  engine_->Reset();
}

}  // namespace quillon_python
