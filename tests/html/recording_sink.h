#pragma once
// The links a tokenizer hands on, kept for comparison.
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "library/html/tokenizer.h"

namespace quillon::html {

struct Link {
  HrefTag tag;
  std::string href;
  bool operator==(const Link&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Link& link) {
  return out << "{" << static_cast<int>(link.tag) << ", \"" << link.href << "\"}";
}

class RecordingSink : public TagSink {
 public:
  void Href(HrefTag tag, std::string_view href) override {
    links.push_back({tag, std::string(href)});
  }
  std::vector<Link> links;
};

// `page` fed in chunks of the sizes given, the last repeated to the end.
inline std::vector<Link> Links(Tokenizer& tokenizer, std::string_view page, InitialState state,
                               std::string_view last_start_tag, std::vector<std::size_t> chunks,
                               std::uint64_t* long_hrefs_skipped = nullptr) {
  tokenizer.Reset(state, last_start_tag);
  RecordingSink sink;
  const auto* bytes = reinterpret_cast<const unsigned char*>(page.data());
  std::size_t at = 0;
  for (std::size_t i = 0; at < page.size(); ++i) {
    const std::size_t size = std::min(chunks[std::min(i, chunks.size() - 1)], page.size() - at);
    tokenizer.Feed(bytes + at, size, sink);
    at += size;
  }
  tokenizer.Finish(sink);
  if (long_hrefs_skipped != nullptr) *long_hrefs_skipped = tokenizer.long_hrefs_skipped();
  return sink.links;
}

inline std::vector<Link> Links(std::string_view page, InitialState state,
                               std::string_view last_start_tag, std::vector<std::size_t> chunks,
                               std::uint64_t* long_hrefs_skipped = nullptr) {
  static Tokenizer tokenizer;  // one for all: a new page must not see the last one
  return Links(tokenizer, page, state, last_start_tag, std::move(chunks), long_hrefs_skipped);
}

// As Links, with the hrefs handed on raw and each decoded afterwards, as the engine reads a page
// in a legacy encoding.
inline std::vector<Link> RawLinks(std::string_view page, InitialState state,
                                  std::string_view last_start_tag,
                                  std::vector<std::size_t> chunks) {
  static Tokenizer tokenizer;
  static KeptValue decoded;
  tokenizer.set_raw_hrefs(true);
  std::vector<Link> links = Links(tokenizer, page, state, last_start_tag, std::move(chunks));
  for (Link& link : links) {
    decoded.Clear(kLongestHref);
    DecodeAttributeValue(link.href, decoded);
    link.href = decoded.view();
  }
  return links;
}

inline std::vector<Link> Links(std::string_view page, std::vector<std::size_t> chunks = {1 << 20}) {
  return Links(page, InitialState::kData, "", std::move(chunks));
}

}  // namespace quillon::html
