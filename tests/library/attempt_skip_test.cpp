// The skip over failed attempts on plain strings: a table of what the byte-by-byte scan would
// do, and the sixteen-byte walk against the plain one on random text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "library/attempt_skip.h"

namespace {

using quillon::AttemptSkip;
using quillon::CharacterClasses;

const CharacterClasses kDefault = quillon::TakeCharacterClasses();

AttemptSkip Skip(const std::string& bytes, const CharacterClasses& classes, bool plain) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  return plain ? quillon::SkipFailedAttemptsPlain(data, bytes.size(), classes)
               : quillon::SkipFailedAttempts(data, bytes.size(), classes);
}

std::string Describe(const AttemptSkip& skip) {
  return std::to_string(skip.taken) + (skip.at_bracket ? " at <" : " -") + " last " +
         std::to_string(skip.last_read);
}

const std::string kOpening = "<a href=\"http://";
const std::string kMore = "x.example/\">link and more text";

TEST(AttemptSkipTest, StopsWhereTheByteByByteScanWould) {
  struct {
    const char* name;
    std::string bytes;
    size_t taken;
    bool at_bracket;
    int last_read;
  } const cases[] = {
      {"nothing", "", 0, false, -1},
      {"one byte: left for the end test", "x", 0, false, -1},
      {"text: all but the last byte", "abcdef", 5, false, 'e'},
      {"an opening", "ab" + kOpening + kMore, 3, true, '<'},
      {"an opening in capitals", "<A HREF=\"HTTP://" + kMore, 1, true, '<'},
      {"a failed attempt then text", "<p>" + std::string(20, 'x') + "yz", 24, false, 'y'},
      {"https fails on its 13th byte", "<a href=\"https://" + kMore, 46, false, 'x'},
      {"two brackets hide the anchor", "<" + kOpening + kMore, 46, false, 'x'},
      {"three brackets find it again", "<<" + kOpening + kMore, 3, true, '<'},
      {"an anchor inside a failed attempt", "<p " + kOpening + kMore, 4, true, '<'},
      {"a bracket too near the end", "abc<a href", 3, false, 'c'},
      {"text up to it, after an attempt", "<x<a href=\"http:/", 2, false, ':'},
      {"a failed attempt near the end, then text", "<p>" + std::string(14, 'x'), 16, false, 'x'},
  };
  for (const auto& c : cases) {
    for (bool plain : {false, true}) {
      AttemptSkip skip = Skip(c.bytes, kDefault, plain);
      EXPECT_EQ(Describe(skip), Describe({c.taken, c.at_bracket, c.last_read}))
          << c.name << (plain ? " (plain)" : "");
    }
  }
}

TEST(AttemptSkipTest, FollowsTheLocalesClasses) {
  // A locale that folds 0xC1 to "a": only the classes can tell that this attempt opens.
  CharacterClasses folding = kDefault;
  folding.lower[0xC1] = 'a';
  folding.ascii = false;
  const std::string bytes = "<\xC1 href=\"http://" + kMore;
  for (bool plain : {false, true}) {
    EXPECT_TRUE(Skip(bytes, folding, plain).at_bracket) << plain;
    EXPECT_FALSE(Skip(bytes, kDefault, plain).at_bracket) << plain;
  }
}

TEST(AttemptSkipTest, SixteenByteWalkAgreesWithThePlainOne) {
  const std::string pieces[] = {"<",
                                "<<",
                                "a",
                                "A",
                                " ",
                                kOpening,
                                "<a href=\"https:",
                                "\"",
                                "x",
                                "h",
                                "<p>",
                                "</a>",
                                "<a ",
                                "<A HREF=\"HTTP://",
                                "\n",
                                "/",
                                "<<<",
                                "text text text text text text text"};
  std::mt19937 random(20261208);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    size_t count = random() % 40;
    for (size_t i = 0; i < count; ++i) bytes += pieces[random() % std::size(pieces)];
    if (round % 7 == 0) bytes += std::string(random() % 200, 'z');
    ASSERT_EQ(Describe(Skip(bytes, kDefault, false)), Describe(Skip(bytes, kDefault, true)))
        << "round " << round << ": " << bytes;
  }
}

}  // namespace
