#include "python/src/page_link_finder.h"

#include "python/src/engine_settings.h"

namespace quillon_python {

ClassicLinkFinder::ClassicLinkFinder(const quillon::KeywordTexts& keywords)
    : engine_(keywords, FixedClasses()) {}

void ClassicLinkFinder::Start(const warc::PageStart&) {
  engine_.Reset();
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

}  // namespace quillon_python
