// The keyword test and the printable filter on their own, on both copying paths.
#include <gtest/gtest.h>

#include "library/engine.h"
#include "library/sse2.h"
#include "library/url_record.h"

namespace {

using quillon::CopyPrintable;
using quillon::ExclusionKeywords;
using quillon::IsExcluded;
using quillon::UrlBufferSize;

const quillon::CharacterClasses kClasses = quillon::TakeCharacterClasses();

TEST(UrlRecordTest, ExclusionKeywords) {
  struct {
    const char* address;
    std::array<const char*, quillon::kMaxKeywords> keywords;
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
    ExclusionKeywords keywords;
    for (size_t i = 0; i < keywords.size(); ++i) keywords[i] = c.keywords[i];
    EXPECT_EQ(IsExcluded(c.address, keywords), c.excluded) << c.address;
  }
}

TEST(UrlRecordTest, PrintableFilter) {
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
  for (bool wide : {false, quillon::HasSse2()}) {
    for (const auto& c : cases) {
      unsigned char output[UrlBufferSize + 16];
      quillon::Copied copied =
          CopyPrintable(reinterpret_cast<const unsigned char*>(c.source.data()), c.source.size(),
                        output, kClasses, wide);
      EXPECT_EQ(copied.read, c.source.size());
      EXPECT_EQ(std::string(reinterpret_cast<char*>(output), copied.written), c.expected)
          << c.source << (wide ? " wide" : "");
    }
    // The longest address that fits, every byte printable, and one cut by a NUL.
    std::string longest(UrlBufferSize - 1, 'x');
    unsigned char output[UrlBufferSize + 16];
    quillon::Copied copied = CopyPrintable(reinterpret_cast<const unsigned char*>(longest.data()),
                                           longest.size(), output, kClasses, wide);
    EXPECT_EQ(copied.written, longest.size());
    longest[40] = '\0';
    copied = CopyPrintable(reinterpret_cast<const unsigned char*>(longest.data()), longest.size(),
                           output, kClasses, wide);
    EXPECT_EQ(copied.read, 40u);
    EXPECT_EQ(copied.written, 40u);
  }
}

}  // namespace
