// The keyword test and the printable filter on their own.
#include <gtest/gtest.h>

#include "library/url_writer.h"

namespace {

using quillon::CopyPrintable;
using quillon::ExclusionKeywords;
using quillon::IsExcluded;
using quillon::UrlBufferSize;

const quillon::CharacterClasses kClasses = quillon::TakeCharacterClasses();

TEST(UrlWriterTest, ExclusionKeywords) {
  struct {
    const char* address;
    std::array<const char*, 6> keywords;
    bool excluded;
  } const cases[] = {
      {"http://www.yahoo.co.jp/", {"", "", "", "", "", ""}, false},
      {"http://www.yahoo.co.jp/", {"yahoo", "", "", "", "", ""}, true},
      {"http://www.yahoo.co.jp/", {"", "", "", "", "", "yahoo"}, true},
      {"http://www.yahoo.co.jp/", {"YAHOO", "", "", "", "", ""}, false},
      {"http://a.example/", {"/", "", "", "", "", ""}, true},
      {"http://a.example/", {"", "http:", "", "", "", ""}, true},
      {"http://a.example/", {"b.example", "", "", "", "", "c"}, false},
      // Blind to double-byte characters: a match may start on a trail byte.
      {"http://x/\x95\x5c", {"\x5c", "", "", "", "", ""}, true},
  };
  for (const auto& c : cases) {
    CString keywords[6];
    ExclusionKeywords pointers;
    for (int i = 0; i < 6; ++i) {
      keywords[i] = c.keywords[static_cast<size_t>(i)];
      pointers[static_cast<size_t>(i)] = &keywords[i];
    }
    EXPECT_EQ(IsExcluded(c.address, pointers), c.excluded) << c.address;
  }
}

TEST(UrlWriterTest, PrintableFilter) {
  struct {
    std::string source, expected;
  } const cases[] = {
      {"http://plain.example/long/path/index.html", "http://plain.example/long/path/index.html"},
      {"http://t\tab.example/", "http://tab.example/"},
      {"http://cr\r\nlf/", "http://crlf/"},
      {"http://a b/", "http://a b/"},
      {"http://del\x7f/", "http://del/"},
      {"http://\x95\x5c\x82\xa0\xff\x80/", "http://\\/"},
      {"~}|{ !\"#$%&'()*+,-./0123456789", "~}|{ !\"#$%&'()*+,-./0123456789"},
      {"\x01\x1f\x20\x7e\x7f\x80", "\x20\x7e"},
  };
  for (const auto& c : cases) {
    char output[UrlBufferSize];
    int length =
        CopyPrintable(c.source.data(), static_cast<int>(c.source.size()), output, kClasses);
    EXPECT_EQ(std::string(output, static_cast<size_t>(length)), c.expected) << c.source;
    EXPECT_EQ(output[length], '\0');
  }
  // The longest address that fits, every byte printable.
  std::string longest(UrlBufferSize - 1, 'x');
  char output[UrlBufferSize];
  EXPECT_EQ(CopyPrintable(longest.data(), UrlBufferSize - 1, output, kClasses), UrlBufferSize - 1);
  EXPECT_EQ(output[UrlBufferSize - 1], '\0');
}

}  // namespace
