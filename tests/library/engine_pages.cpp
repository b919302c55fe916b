#include "tests/library/engine_pages.h"

#include <algorithm>

namespace engine_pages {

ScanResult Scan(quillon::Engine& engine, const std::string& page, const std::vector<size_t>& cuts) {
  engine.Reset();
  Collected sink;
  const auto* bytes = reinterpret_cast<const unsigned char*>(page.data());
  size_t at = 0;
  for (size_t cut : cuts) {
    cut = std::min(std::max(cut, at), page.size());
    engine.Feed(bytes + at, cut - at, sink);
    at = cut;
  }
  engine.Feed(bytes + at, page.size() - at, sink);
  quillon::ReadingEnd end = engine.Finish();
  return {sink.records, end};
}

std::vector<size_t> RandomCuts(std::mt19937& random, size_t size) {
  const size_t largest[] = {3, 200, 100000};
  size_t most = largest[random() % std::size(largest)];
  std::vector<size_t> cuts;
  for (size_t at = 0; at < size;) cuts.push_back(at += 1 + random() % most);
  return cuts;
}

std::string MakePage(std::mt19937& random, size_t pieces) {
  static const char* const kPieces[] = {"<a href=\"http://",
                                        "<A HREF=\"HTTP://",
                                        "<a href=\"https://",
                                        "<a  href=\"http://",
                                        "<",
                                        "<<",
                                        "\"",
                                        ">",
                                        "</a>",
                                        "a",
                                        " ",
                                        "href=",
                                        "http://",
                                        ".html",
                                        ".HTM",
                                        "/",
                                        "\r\n",
                                        "\n",
                                        "\t",
                                        "yahoo",
                                        "example",
                                        "\x95\x5c",
                                        "\x82\xa0",
                                        "\x7f",
                                        "\xff",
                                        "www.example.com/",
                                        "x",
                                        "<p>",
                                        "<a href=\"http://www.yahoo.co.jp/\">"};
  std::string page;
  for (size_t i = 0; i < pieces; ++i) {
    int roll = static_cast<int>(random() % 200);
    if (roll == 0) {
      page += '\0';
    } else if (roll == 1) {
      // Around the address length limit, sometimes closing an address that ends like a page or
      // a directory.
      static const char* const kEndings[] = {"", ".html\"", "/\""};
      page += std::string(450 + random() % 120, 'L') + kEndings[random() % std::size(kEndings)];
    } else {
      page += kPieces[random() % std::size(kPieces)];
    }
  }
  return page;
}

quillon::KeywordTexts Texts(const quillon::ExclusionKeywords& keywords) {
  quillon::KeywordTexts texts;
  for (size_t i = 0; i < texts.size(); ++i) texts[i] = keywords[i];
  return texts;
}

}  // namespace engine_pages
