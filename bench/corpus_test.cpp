#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "bench/corpus.h"

namespace {

constexpr std::uint64_t kSmall = 512 * 1024;
constexpr CorpusKind kKinds[] = {CorpusKind::kPage, CorpusKind::kAnchors, CorpusKind::kText};

struct Generated {
  std::string bytes;
  CorpusStats stats;
};

Generated Generate(CorpusKind kind, std::uint64_t min_bytes, std::uint64_t start_value) {
  Generated made;
  made.stats = WriteCorpus(kind, min_bytes, start_value,
                           [&](const char* bytes, std::size_t n) { made.bytes.append(bytes, n); });
  return made;
}

// What the extractor finds, worked out the plain way: at each "<" compare the next 15 bytes
// with the anchor opening (input letters folded to lower case); on a miss go on from the
// second byte after the "<", on a match capture up to the next double quote.
struct Found {
  std::uint64_t records = 0;
  std::size_t longest = 0;
  bool all_printable = true;
};

Found FindLikeTheExtractor(const std::string& page) {
  static constexpr char kOpening[] = "a href=\"http://";
  Found found;
  std::size_t at = 0;
  while (at < page.size()) {
    if (page[at] != '<') {
      ++at;
      continue;
    }
    if (page.size() - at - 1 < 15) break;
    bool match = true;
    for (int k = 0; k < 15; ++k) {
      const char byte = page[at + 1 + k];
      const char folded = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + 32) : byte;
      if (folded != kOpening[k]) match = false;
    }
    if (!match) {
      at += 2;
      continue;
    }
    const std::size_t start = at + 16;
    const std::size_t quote = page.find('"', start);
    if (quote == std::string::npos) break;
    ++found.records;
    found.longest = std::max(found.longest, quote - start);
    for (std::size_t i = start; i < quote; ++i) {
      const auto byte = static_cast<unsigned char>(page[i]);
      if (byte < 0x21 || byte > 0x7E) found.all_printable = false;
    }
    at = quote + 1;
  }
  return found;
}

// Offset of the first byte that breaks Shift_JIS double-byte pairing, or npos.
std::size_t FirstShiftJisFault(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) continue;
    const bool is_lead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (!is_lead || i + 1 == bytes.size()) return i;
    const auto trail = static_cast<unsigned char>(bytes[++i]);
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return i;
  }
  return std::string::npos;
}

class EveryKind : public ::testing::TestWithParam<CorpusKind> {};

// The same start value rebuilds a corpus byte for byte; another one gives other bytes.
TEST_P(EveryKind, DependsOnlyOnTheStartValue) {
  const Generated first = Generate(GetParam(), kSmall, 7);
  EXPECT_EQ(first.bytes, Generate(GetParam(), kSmall, 7).bytes);
  EXPECT_NE(first.bytes, Generate(GetParam(), kSmall, 8).bytes);
}

// The counts the benchmark checks the extractor's output against are the real ones.
TEST_P(EveryKind, CountsWhatItWrites) {
  const Generated made = Generate(GetParam(), kSmall, 11);
  EXPECT_GE(made.bytes.size(), kSmall);
  EXPECT_LT(made.bytes.size(), kSmall + 8192);
  EXPECT_EQ(made.stats.bytes, made.bytes.size());
  EXPECT_EQ(made.stats.opens,
            static_cast<std::uint64_t>(std::count(made.bytes.begin(), made.bytes.end(), '<')));
  const Found found = FindLikeTheExtractor(made.bytes);
  EXPECT_EQ(made.stats.records, found.records);
  EXPECT_TRUE(found.all_printable);
  EXPECT_LE(found.longest, 200u);
}

TEST_P(EveryKind, JapaneseTextIsWellFormedShiftJis) {
  const Generated made = Generate(GetParam(), kSmall, 13);
  EXPECT_EQ(FirstShiftJisFault(made.bytes), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Corpus, EveryKind, ::testing::ValuesIn(kKinds));

// Each kind has the character its benchmark is about.
TEST(CorpusShape, PageHasARealisticMixOfAnchors) {
  const Generated made = Generate(CorpusKind::kPage, 4 * kSmall, 3);
  const std::string& page = made.bytes;
  EXPECT_NE(page.find("<A HREF=\"HTTP://"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"https://"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"/"), std::string::npos);
  EXPECT_NE(page.find("<a class=\"ext\" href=\"http://"), std::string::npos);
  EXPECT_NE(page.find("<script"), std::string::npos);
  EXPECT_NE(page.find("<table"), std::string::npos);
  // Roughly one found anchor in every 200 to 2000 bytes.
  EXPECT_GT(made.stats.records, page.size() / 2000);
  EXPECT_LT(made.stats.records, page.size() / 200);
  // Japanese is Shift_JIS: "東京" is 93 8C 8B 9E there.
  EXPECT_NE(page.find("\x93\x8C\x8B\x9E"), std::string::npos);
}

TEST(CorpusShape, AnchorPageIsMostlyMatchingAnchors) {
  const Generated made = Generate(CorpusKind::kAnchors, kSmall, 3);
  // Each anchor also has its "</a>", so just under half of all "<" open a found anchor.
  EXPECT_GT(made.stats.records * 100, made.stats.opens * 45);
  EXPECT_GT(made.stats.records, made.bytes.size() / 100);
}

TEST(CorpusShape, TextHasAlmostNoOpenings) {
  const Generated made = Generate(CorpusKind::kText, 8 * kSmall, 3);
  EXPECT_LT(made.stats.opens, made.bytes.size() / 50000);
}

TEST(CorpusKindName, ParsesTheThreeNames) {
  EXPECT_EQ(ParseCorpusKind("page"), CorpusKind::kPage);
  EXPECT_EQ(ParseCorpusKind("anchors"), CorpusKind::kAnchors);
  EXPECT_EQ(ParseCorpusKind("text"), CorpusKind::kText);
  EXPECT_EQ(ParseCorpusKind("Page"), std::nullopt);
}

}  // namespace
