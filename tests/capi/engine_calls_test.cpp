// The C calls' contracts: refused arguments, the callback's stop, a failed page, and a page
// that starts clean after the last one's finish.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "tests/capi/record_collector.h"

namespace {

using capi_testing::Collect;
using capi_testing::Collected;
using capi_testing::FeedPage;
using capi_testing::MakeEngine;
using capi_testing::Misuse;

const std::string kThreeAnchors =
    "<a href=\"http://one.example/\">1</a><a href=\"http://two.example/\">2</a>"
    "<a href=\"http://three.example/\">3</a>";

std::string RecordsOf(const std::string& page) {
  Collected c;
  quillon_extract(page.data(), page.size(), nullptr, 0, Collect, &c);
  return c.text;
}

TEST(CApiArguments, EachCallChecksItsArguments) {
  Collected c;
  auto engine = MakeEngine(c);
  quillon_engine* made = engine.get();
  const char* seven[7] = {"a", "b", "c", "d", "e", "f", "g"};
  const struct {
    const char* name;
    std::function<int()> call;
    int expected;
  } rows[] = {
      {"new, no out-pointer", [&] { return quillon_engine_new(nullptr, 0, Collect, &c, nullptr); },
       QUILLON_ERROR_ARGUMENT},
      {"new, no callback", [&] { return quillon_engine_new(nullptr, 0, nullptr, &c, &made); },
       QUILLON_ERROR_ARGUMENT},
      {"new, seven keywords", [&] { return quillon_engine_new(seven, 7, Collect, &c, &made); },
       QUILLON_ERROR_ARGUMENT},
      {"feed, no engine", [&] { return quillon_engine_feed(nullptr, "<", 1); },
       QUILLON_ERROR_ARGUMENT},
      {"finish, no engine", [&] { return quillon_engine_finish(nullptr); }, QUILLON_ERROR_ARGUMENT},
      {"extract, no bytes", [&] { return quillon_extract(nullptr, 1, nullptr, 0, Collect, &c); },
       QUILLON_ERROR_ARGUMENT},
      {"extract, no callback", [&] { return quillon_extract("<", 1, nullptr, 0, nullptr, &c); },
       QUILLON_ERROR_ARGUMENT},
      {"extract, seven keywords", [&] { return quillon_extract("<", 1, seven, 7, Collect, &c); },
       QUILLON_ERROR_ARGUMENT},
      {"feed, no bytes and size 0", [&] { return quillon_engine_feed(engine.get(), nullptr, 0); },
       QUILLON_OK},
      {"extract, no keyword array",
       [&] { return quillon_extract("<", 1, nullptr, 6, Collect, &c); }, QUILLON_OK},
  };
  for (const auto& row : rows) EXPECT_EQ(row.call(), row.expected) << row.name;
  EXPECT_EQ(made, nullptr) << "a refused quillon_engine_new leaves NULL";
  quillon_engine_free(nullptr);
  EXPECT_EQ(c.count, 0u);
}

TEST(CApiArguments, EveryStatusHasItsOwnText) {
  std::set<std::string> texts;
  for (int status = QUILLON_ERROR_BUSY; status <= QUILLON_STOPPED; ++status) {
    texts.insert(quillon_strerror(status));
  }
  texts.insert(quillon_strerror(42));
  EXPECT_EQ(texts.size(), 8u);
}

TEST(CApiPage, StopHoldsUntilFinish) {
  Collected c;
  c.stop_after = 1;
  auto engine = MakeEngine(c);
  const size_t half = kThreeAnchors.size() / 2;
  EXPECT_EQ(quillon_engine_feed(engine.get(), kThreeAnchors.data(), half), QUILLON_STOPPED);
  EXPECT_EQ(quillon_engine_feed(engine.get(), kThreeAnchors.data() + half, half + 1),
            QUILLON_STOPPED);
  EXPECT_EQ(quillon_engine_finish(engine.get()), QUILLON_STOPPED);
  EXPECT_EQ(c.text, "http://one.example/\r\n");
  c = Collected{};
  c.stop_after = 2;
  EXPECT_EQ(quillon_extract(kThreeAnchors.data(), kThreeAnchors.size(), nullptr, 0, Collect, &c),
            QUILLON_STOPPED);
  EXPECT_EQ(c.count, 2u);
  c = Collected{};
  EXPECT_EQ(FeedPage(engine.get(), kThreeAnchors, 7), QUILLON_OK) << "the next page goes on";
  EXPECT_EQ(c.text, RecordsOf(kThreeAnchors));
}

TEST(CApiPage, NextPageStartsClean) {
  const struct {
    std::string first, second;
  } pairs[] = {
      {"<a href=\"http://open.example/", "tail\">"},
      {"x <a hr", "ef=\"http://split.example/\">"},
      {"<", "a href=\"http://x.example/\">"},
      {"<a href=\"http://open.example/", "x\"><a href=\"http://b.example/\">"},
  };
  for (const auto& pair : pairs) {
    Collected c;
    auto engine = MakeEngine(c);
    EXPECT_EQ(FeedPage(engine.get(), pair.first, 3), QUILLON_OK);
    EXPECT_EQ(FeedPage(engine.get(), pair.second, 3), QUILLON_OK);
    EXPECT_EQ(c.text, RecordsOf(pair.second)) << pair.first;
  }
}

TEST(CApiPage, FailedPageRefusesFeedsUntilFinish) {
  const struct {
    const char* name;
    Misuse misuse;
    bool no_bytes;
    int status, inner_status;
  } ways[] = {
      {"no bytes", Misuse::None, true, QUILLON_ERROR_ARGUMENT, QUILLON_OK},
      {"callback throws", Misuse::Throw, false, QUILLON_ERROR_CALLBACK_THREW, QUILLON_OK},
      {"feed in callback", Misuse::Feed, false, QUILLON_ERROR_PAGE_FAILED, QUILLON_ERROR_BUSY},
      {"finish in callback", Misuse::Finish, false, QUILLON_ERROR_PAGE_FAILED, QUILLON_ERROR_BUSY},
  };
  for (const auto& way : ways) {
    Collected c;
    auto engine = MakeEngine(c);
    c.misuse = way.misuse;
    const char* bytes = way.no_bytes ? nullptr : kThreeAnchors.c_str();
    EXPECT_EQ(quillon_engine_feed(engine.get(), bytes, kThreeAnchors.size()), way.status)
        << way.name;
    EXPECT_EQ(c.inner_status, way.inner_status) << way.name;
    EXPECT_EQ(quillon_engine_feed(engine.get(), "<", 1), QUILLON_ERROR_PAGE_FAILED) << way.name;
    EXPECT_EQ(quillon_engine_finish(engine.get()), QUILLON_ERROR_PAGE_FAILED) << way.name;
    c.text.clear();
    EXPECT_EQ(FeedPage(engine.get(), kThreeAnchors, 5), QUILLON_OK) << way.name;
    EXPECT_EQ(c.text, RecordsOf(kThreeAnchors)) << way.name;
  }
}

TEST(CApiPage, FreeInsideCallbackStopsAndReleases) {
  Collected c;
  quillon_engine* engine = nullptr;
  ASSERT_EQ(quillon_engine_new(nullptr, 0, Collect, &c, &engine), QUILLON_OK);
  c.engine = engine;
  c.misuse = Misuse::Free;
  EXPECT_EQ(quillon_engine_feed(engine, kThreeAnchors.data(), kThreeAnchors.size()),
            QUILLON_STOPPED);
  EXPECT_EQ(c.count, 1u);
}

}  // namespace
