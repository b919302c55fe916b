// The engine's C calls: their records against the file the export writes for every case, in
// every chunking; refused arguments; the callback's stop; failed pages and fresh ones.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>

#include "library/quillon_engine.h"
#include "tests/cases/extraction_cases.h"
#include "tests/support/linux_test_support.h"

namespace {

struct Collected {
  std::string text;  // each record followed by CR LF, as the export writes it
  size_t count = 0;
  size_t stop_after = SIZE_MAX;
  std::function<void()> on_first;  // run inside the first record's callback
};

int Collect(void* context, const char* address, size_t length) {
  Collected& c = *static_cast<Collected*>(context);
  c.text.append(address, length).append("\r\n");
  if (c.count == 0 && c.on_first) c.on_first();
  return ++c.count >= c.stop_after;
}

using EnginePtr = std::unique_ptr<quillon_engine, decltype(&quillon_engine_free)>;

EnginePtr MakeEngine(Collected& c, const char* const* keywords = nullptr) {
  quillon_engine* made = nullptr;
  EXPECT_EQ(quillon_engine_new(keywords, keywords ? QUILLON_MAX_KEYWORDS : 0, Collect, &c, &made),
            QUILLON_OK);
  return EnginePtr(made, quillon_engine_free);
}

// Feeds `page` in chunks of `chunk` bytes and finishes it: the first status not QUILLON_OK.
int FeedPage(quillon_engine* engine, const std::string& page, size_t chunk) {
  for (size_t at = 0; at < page.size(); at += chunk) {
    const int status = quillon_engine_feed(engine, &page[at], std::min(chunk, page.size() - at));
    if (status != QUILLON_OK) return status;
  }
  return quillon_engine_finish(engine);
}

std::string RecordsOf(const std::string& page) {
  Collected c;
  quillon_extract(page.data(), page.size(), nullptr, 0, Collect, &c);
  return c.text;
}

const std::string kPage =
    "<a href=\"http://one.example/\">1</a><a href=\"http://two.example/\">"
    "2</a><a href=\"http://three.example/\">3</a>";

class CApiRecordsTest : public ::testing::TestWithParam<size_t> {};

TEST_P(CApiRecordsTest, EqualWhatTheExportWrites) {
  const cases::ExtractionCase& c = cases::ExtractionCases()[GetParam()];
  SCOPED_TRACE(c.name);
  testing_support::ScratchFolder folder;
  testing_support::WriteFile(folder.Path("page.htm"), c.page);
  {
    testing_support::BoxRecorder quiet;
    testing_support::RunExport(folder.Path("page.htm"), folder.Path("out.txt"), c.keywords);
  }
  const std::string written = testing_support::ReadFile(folder.Path("out.txt"));
  // Empty keywords as texts to the engine, as NULL entries to quillon_extract.
  std::array<const char*, QUILLON_MAX_KEYWORDS> texts{}, entries{};
  for (size_t i = 0; i < texts.size(); ++i) {
    texts[i] = c.keywords[i].c_str();
    entries[i] = c.keywords[i].empty() ? nullptr : texts[i];
  }
  Collected whole, chunked;
  EXPECT_EQ(quillon_extract(c.page.data(), c.page.size(), entries.data(), QUILLON_MAX_KEYWORDS,
                            Collect, &whole),
            QUILLON_OK);
  EXPECT_EQ(whole.text, written);
  const EnginePtr engine = MakeEngine(chunked, texts.data());
  for (size_t chunk : {size_t{1}, size_t{7}, c.page.size() + 1}) {
    chunked.text.clear();
    EXPECT_EQ(FeedPage(engine.get(), c.page, chunk), QUILLON_OK);
    EXPECT_EQ(chunked.text, written) << "in chunks of " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, CApiRecordsTest,
                         ::testing::Range(size_t{0}, cases::ExtractionCases().size()));

TEST(CApiCalls, RefuseBadArguments) {
  Collected c;
  const EnginePtr engine = MakeEngine(c);
  quillon_engine* made = engine.get();
  const char* seven[7] = {};
  const int refused = QUILLON_ERROR_ARGUMENT;
  const std::pair<int, std::function<int()>> rows[] = {
      {refused, [&] { return quillon_engine_new(nullptr, 0, Collect, &c, nullptr); }},
      {refused, [&] { return quillon_engine_new(nullptr, 0, nullptr, &c, &made); }},
      {refused, [&] { return quillon_engine_new(seven, 7, Collect, &c, &made); }},
      {refused, [&] { return quillon_engine_feed(nullptr, "<", 1); }},
      {refused, [&] { return quillon_engine_finish(nullptr); }},
      {refused, [&] { return quillon_extract(nullptr, 1, nullptr, 0, Collect, &c); }},
      {refused, [&] { return quillon_extract("<", 1, nullptr, 0, nullptr, &c); }},
      {refused, [&] { return quillon_extract("<", 1, seven, 7, Collect, &c); }},
      {QUILLON_OK, [&] { return quillon_engine_feed(engine.get(), nullptr, 0); }},
      {QUILLON_OK,
       [&] { return quillon_extract("<", 1, nullptr, QUILLON_MAX_KEYWORDS, Collect, &c); }},
  };
  for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].second(), rows[i].first) << i;
  EXPECT_EQ(made, nullptr) << "a refused quillon_engine_new leaves NULL";
  std::set<std::string> texts{quillon_strerror(42)};
  for (int status = QUILLON_ERROR_BUSY; status <= QUILLON_STOPPED; ++status) {
    texts.insert(quillon_strerror(status));
  }
  EXPECT_EQ(texts.size(), 8u) << "each status has a text of its own";
}

TEST(CApiCalls, VersionNumberIsTheLibrarysVersion) {
  unsigned major = 0, minor = 0, patch = 0;
  ASSERT_EQ(std::sscanf(QUILLON_LIBRARY_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);
  EXPECT_EQ(QUILLON_VERSION_NUMBER, major * 10000 + minor * 100 + patch) << QUILLON_LIBRARY_VERSION;
  EXPECT_EQ(quillon_version_number(), unsigned{QUILLON_VERSION_NUMBER});
}

TEST(CApiPage, StopHoldsUntilFinish) {
  Collected c;
  c.stop_after = 1;
  const EnginePtr engine = MakeEngine(c);
  const size_t half = kPage.size() / 2;
  EXPECT_EQ(quillon_engine_feed(engine.get(), kPage.data(), half), QUILLON_STOPPED);
  EXPECT_EQ(quillon_engine_feed(engine.get(), &kPage[half], kPage.size() - half), QUILLON_STOPPED);
  EXPECT_EQ(quillon_engine_finish(engine.get()), QUILLON_STOPPED);
  EXPECT_EQ(c.text, "http://one.example/\r\n");
  c = Collected{};
  EXPECT_EQ(FeedPage(engine.get(), kPage, 7), QUILLON_OK) << "the next page goes on";
  EXPECT_EQ(c.text, RecordsOf(kPage));
  c.stop_after = c.count + 2;
  EXPECT_EQ(quillon_extract(kPage.data(), kPage.size(), nullptr, 0, Collect, &c), QUILLON_STOPPED);
  EXPECT_EQ(c.count, c.stop_after);
}

TEST(CApiPage, NextPageStartsClean) {
  const std::pair<std::string, std::string> pages[] = {
      {"<a href=\"http://open.example/", "tail\">"},
      {"x <a hr", "ef=\"http://split.example/\">"},
      {"<", "a href=\"http://x.example/\">"},
      {"<a href=\"http://open.example/", "x\"><a href=\"http://b.example/\">"},
  };
  for (const auto& [first, second] : pages) {
    Collected c;
    const EnginePtr engine = MakeEngine(c);
    EXPECT_EQ(FeedPage(engine.get(), first, 3), QUILLON_OK);
    EXPECT_EQ(FeedPage(engine.get(), second, 3), QUILLON_OK);
    EXPECT_EQ(c.text, RecordsOf(second)) << first;
  }
}

TEST(CApiPage, FailedPageRefusesFeedsUntilFinish) {
  Collected c;
  const EnginePtr engine = MakeEngine(c);
  quillon_engine* e = engine.get();
  int inner = QUILLON_OK;
  const char* page = kPage.c_str();
  const int failed = QUILLON_ERROR_PAGE_FAILED;
  // Once the page failed, none of its later records reaches the callback.
  const struct {
    std::function<void()> on_first;
    const char* bytes;
    int status, inner;
    size_t delivered;
  } ways[] = {
      {nullptr, nullptr, QUILLON_ERROR_ARGUMENT, QUILLON_OK, 0},
      {[] { throw std::runtime_error("!"); }, page, QUILLON_ERROR_CALLBACK_THREW, QUILLON_OK, 0},
      {[&] { inner = quillon_engine_feed(e, "<", 1); }, page, failed, QUILLON_ERROR_BUSY, 1},
      {[&] { inner = quillon_engine_finish(e); }, page, failed, QUILLON_ERROR_BUSY, 1},
  };
  for (size_t i = 0; i < std::size(ways); ++i) {
    c = Collected{};
    c.on_first = ways[i].on_first;
    inner = QUILLON_OK;
    EXPECT_EQ(quillon_engine_feed(e, ways[i].bytes, kPage.size()), ways[i].status) << i;
    EXPECT_EQ(inner, ways[i].inner) << i;
    EXPECT_EQ(c.count, ways[i].delivered) << i;
    EXPECT_EQ(quillon_engine_feed(e, "<", 1), failed) << i;
    EXPECT_EQ(quillon_engine_finish(e), failed) << i;
    c = Collected{};
    EXPECT_EQ(FeedPage(e, kPage, 5), QUILLON_OK) << i;
    EXPECT_EQ(c.text, RecordsOf(kPage)) << i;
  }
}

TEST(CApiPage, FreeInsideCallbackStopsAndReleases) {
  Collected c;
  quillon_engine* engine = MakeEngine(c).release();
  c.on_first = [&] { quillon_engine_free(engine); };
  EXPECT_EQ(quillon_engine_feed(engine, kPage.data(), kPage.size()), QUILLON_STOPPED);
  EXPECT_EQ(c.count, 1u);
}

}  // namespace
