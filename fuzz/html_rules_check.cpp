#include "fuzz/html_rules_check.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "library/hyperlinks/hyperlink_engine.h"
#include "library/url/url.h"

namespace fuzzing {
namespace {

struct Links final : quillon::RecordSink {
  std::vector<std::string> links;
  void Record(const char* address, size_t length) override { links.emplace_back(address, length); }
};

[[noreturn]] void Fail(const FuzzCase& fuzz_case, const char* what, const std::string& link) {
  std::fprintf(stderr, "HTML rules: %s: %s\n  page (%zu bytes):", what, link.c_str(),
               fuzz_case.page.size());
  for (unsigned char c : fuzz_case.page.substr(0, 2048)) std::fprintf(stderr, " %02x", c);
  std::fprintf(stderr, "\n");
  std::abort();
}

// Whether the host of `link` (an absolute URL with "//") has an "xn--" label holding a byte
// other than a letter, digit or hyphen.
bool HasNonLdhALabel(const std::string& link) {
  const size_t start = link.find("//");
  if (start == std::string::npos) return false;
  const size_t end = std::min(link.find_first_of("/?#", start + 2), link.size());
  const std::string host = link.substr(start + 2, end - start - 2);
  for (size_t label = 0; label <= host.size();) {
    const size_t dot = std::min(host.find('.', label), host.size());
    if (host.compare(label, 4, "xn--") == 0) {
      for (size_t i = label; i < dot; ++i) {
        const unsigned char c = static_cast<unsigned char>(host[i]);
        if (!std::isalnum(c) && c != '-') return true;
      }
    }
    label = dot + 1;
  }
  return false;
}

}  // namespace

void CheckHtmlRules(const FuzzCase& fuzz_case) {
  // The chunking bits also pick the caller's charset, so that the converters are fuzzed too.
  static constexpr const char* kCharsets[] = {"",         "",        "windows-1252", "shift_jis",
                                              "utf-16le", "gb18030", "iso-2022-jp",  "euc-kr"};
  quillon::HyperlinkOptions options;
  options.page_url = "http://h.example/d/p.html?q#f";
  options.charset = kCharsets[(fuzz_case.chunking >> 2) % 8];
  options.all_schemes = (fuzz_case.chunking & 1) != 0;
  for (size_t i = 0; i < options.keywords.size(); ++i) options.keywords[i] = fuzz_case.keywords[i];
  // Too big for the stack of a fuzzer's thread.
  auto whole_engine = std::make_unique<quillon::HyperlinkEngine>(options);
  auto chunked_engine = std::make_unique<quillon::HyperlinkEngine>(options);
  const auto* page = reinterpret_cast<const unsigned char*>(fuzz_case.page.data());
  Links whole;
  whole_engine->Feed(page, fuzz_case.page.size(), whole);
  whole_engine->Finish(whole);
  Links chunked;
  unsigned state = fuzz_case.chunking * 2246822519u + 7;
  for (size_t at = 0; at < fuzz_case.page.size();) {
    state = state * 1103515245u + 12345u;
    size_t piece = 1 + (state >> 16) % (fuzz_case.chunking % 3 == 0 ? 3 : 1100);
    if (piece > fuzz_case.page.size() - at) piece = fuzz_case.page.size() - at;
    chunked_engine->Feed(page + at, piece, chunked);
    at += piece;
  }
  chunked_engine->Finish(chunked);
  if (chunked.links != whole.links) {
    Fail(fuzz_case, "chunks change the links",
         std::to_string(chunked.links.size()) + " against " + std::to_string(whole.links.size()));
  }
  auto reparsed = std::make_unique<quillon::url::Url>();
  for (const std::string& link : whole.links) {
    // The serializer escapes every byte outside printable ASCII; only an opaque path (a scheme
    // other than http(s), kept with every scheme) may hold spaces, as "mailto:a b" does.
    for (unsigned char c : link) {
      const bool space_allowed = options.all_schemes && c == ' ';
      if ((c < 0x21 && !space_allowed) || c > 0x7E) {
        Fail(fuzz_case, "a link with a byte not printable", link);
      }
    }
    for (const std::string& keyword : fuzz_case.keywords) {
      std::string counted = keyword.substr(0, keyword.find('\0'));
      if (!counted.empty() && link.find(counted) != std::string::npos) {
        Fail(fuzz_case, "a link holds a keyword", link);
      }
    }
    // libidn2 checks an "xn--" label by IDNA2008's rules, which refuse an A-label holding
    // anything but letters, digits and hyphens; UTS #46, which made such a label from a
    // non-ASCII one here (as Node does), allows it. Such a link is right, and our own parser
    // refuses it when read again: a known difference of the IDNA library, not of the rules.
    if (HasNonLdhALabel(link)) continue;
    if (!quillon::url::Parse(link, nullptr, *reparsed) || reparsed->href() != link) {
      Fail(fuzz_case, "a link does not parse back to itself", link);
    }
  }
}

}  // namespace fuzzing
