// The engine against the plain reading of the page that the fuzzer also trusts: the case
// table at every split point, random chunkings of generated pages on both candidate paths,
// what the reading leaves behind when the page ends or fails, and the first-attempt pages.
#include <gtest/gtest.h>

#include <random>

#include "fuzz/reference_run.h"
#include "library/engine.h"
#include "tests/cases/extraction_cases.h"
#include "tests/library/engine_pages.h"

namespace {

using engine_pages::Scan;
using engine_pages::ScanResult;
using quillon::Engine;
using quillon::ReadingEnd;

std::string StatusOf(const ReadingEnd& end) {
  if (end.met_end) return "File End";
  return end.last_byte <= 0 ? std::string() : std::string(1, static_cast<char>(end.last_byte));
}

TEST(EngineTest, EveryCaseGivesItsRecordsAtEverySplitPoint) {
  for (const cases::ExtractionCase& c : cases::ExtractionCases()) {
    if (c.boxes != cases::OpeningOnly()) continue;  // about files, not pages
    Engine engine(engine_pages::Texts(c.keywords), quillon::DefaultCharacterClasses());
    for (size_t split = 0; split <= c.page.size(); ++split) {
      EXPECT_EQ(Scan(engine, c.page, {split}).records, c.output) << c.name << " at " << split;
    }
    std::vector<size_t> every_byte(c.page.size());
    for (size_t i = 0; i < every_byte.size(); ++i) every_byte[i] = i;
    EXPECT_EQ(Scan(engine, c.page, every_byte).records, c.output) << c.name << " byte by byte";
  }
}

TEST(EngineTest, RandomChunkingsAgreeWithThePlainReading) {
  std::mt19937 random(20261209);
  const quillon::ExclusionKeywords keyword_sets[] = {{}, {"yahoo"}, {"", "", "", "", "", "/"}};
  for (int round = 0; round < 3000; ++round) {
    std::string page = engine_pages::MakePage(random, round % 500 == 0 ? 20000 : random() % 60);
    const auto& keywords = keyword_sets[round % std::size(keyword_sets)];
    fuzzing::ReferenceResult expected = fuzzing::ReferenceRun(page, keywords);
    quillon::CharacterClasses classes = quillon::DefaultCharacterClasses();
    // Tables that read like another locale take the byte-by-byte candidate path.
    classes.ascii = round % 2 == 0;
    Engine engine(engine_pages::Texts(keywords), classes);
    ScanResult seen = Scan(engine, page, engine_pages::RandomCuts(random, page.size()));
    ASSERT_EQ(seen.records, expected.output) << "round " << round;
    ASSERT_EQ(StatusOf(seen.end), expected.status) << "round " << round;
    ASSERT_EQ(engine.LastCapture(), expected.current_url.value_or("")) << "round " << round;
    if (!seen.end.met_end) {
      EXPECT_EQ(seen.end.ended_on_record, expected.ended_on_record) << "round " << round;
    }
  }
}

TEST(EngineTest, ReadingThatFailsKeepsTheRecordsBeforeTheFailingByte) {
  std::mt19937 random(15);
  for (int round = 0; round < 300; ++round) {
    std::string page = engine_pages::MakePage(random, 80);
    size_t good = random() % (page.size() + 1);
    Engine engine(engine_pages::Texts({}), quillon::DefaultCharacterClasses());
    engine_pages::Collected sink;
    engine.Feed(reinterpret_cast<const unsigned char*>(page.data()), good, sink);
    ReadingEnd end = engine.Stop();
    // A page that ended there gives the same records: what is still open is dropped.
    EXPECT_EQ(sink.records, fuzzing::ReferenceRun(page.substr(0, good), {}).output);
    EXPECT_FALSE(end.met_end);
    EXPECT_EQ(end.last_byte, good == 0 ? -1 : static_cast<unsigned char>(page[good - 1]));
  }
}

TEST(EngineTest, FirstAttemptOnlyPagesEndAfterTheirFirstAttempt) {
  struct {
    std::string page, records, status;
  } const cases[] = {
      {"<a href=\"http://x/\"><a href=\"http://y/\">", "http://x/\r\n", "\""},
      {"Xa HREF=\"http://x\" more", "http://x/\r\n", "\""},
      {"<<a href=\"http://x/\">", "", "/"},  // compares "<a href=\"http:/" and fails
      {"<a href=\"http://unclosed", "", "File End"},
      {"<a href=", "", "File End"},
      {"", "", "File End"},
  };
  for (const auto& c : cases) {
    Engine engine(engine_pages::Texts({}), quillon::DefaultCharacterClasses(),
                  Engine::Reading::kFirstAttemptOnly);
    for (size_t split = 0; split <= c.page.size(); ++split) {
      ScanResult seen = Scan(engine, c.page, {split});
      EXPECT_EQ(seen.records, c.records) << c.page << " at " << split;
      EXPECT_EQ(StatusOf(seen.end), c.status) << c.page << " at " << split;
    }
  }
}

TEST(EngineTest, LastCaptureIsTheAddressAsTheRunKeepsIt) {
  const std::string long_address(600, 'L');
  struct {
    std::string page, last;
  } const cases[] = {
      {"<a href=\"http://a/\"> <a href=\"http://b.example\">", "http://b.example/"},
      {"<a href=\"http://a/\"> <a href=\"http://open", "http://open"},
      {"<a href=\"http://" + long_address + "\"", "http://" + long_address.substr(0, 493) + "/"},
      // The "/" is decided on the address's real end, not on the bytes kept.
      {"<a href=\"http://" + long_address + ".html\"", "http://" + long_address.substr(0, 493)},
      {"<a href=\"http://x/\"> <A HREF=\"http://", "http://"},
  };
  for (const auto& c : cases) {
    Engine engine(engine_pages::Texts({}), quillon::DefaultCharacterClasses());
    for (size_t split : {size_t{0}, size_t{20}, c.page.size() - 3}) {
      Scan(engine, c.page, {split});
      ASSERT_TRUE(engine.HasCapture());
      EXPECT_EQ(engine.LastCapture(), c.last) << c.page.substr(0, 40) << " at " << split;
    }
  }
}

}  // namespace
