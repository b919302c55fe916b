// Engines on several threads at once share nothing: each thread finds on every page what one
// engine alone finds. Built a second time under ThreadSanitizer.
#include <gtest/gtest.h>

#include <thread>

#include "library/engine.h"
#include "tests/library/engine_pages.h"

namespace {

TEST(EngineThreadsTest, EachThreadFindsWhatOneEngineAloneFinds) {
  std::mt19937 random(4);
  std::vector<std::string> pages;
  for (int i = 0; i < 40; ++i) pages.push_back(engine_pages::MakePage(random, 400));
  const quillon::ExclusionKeywords keywords = {"yahoo"};
  std::vector<std::string> expected;
  quillon::Engine alone(engine_pages::Texts(keywords), quillon::DefaultCharacterClasses());
  for (const std::string& page : pages)
    expected.push_back(engine_pages::Scan(alone, page, {}).records);

  constexpr int kThreads = 4;
  std::vector<std::vector<std::string>> found(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&pages, &keywords, &found, t] {
      quillon::Engine engine(engine_pages::Texts(keywords), quillon::DefaultCharacterClasses());
      std::mt19937 cuts(static_cast<unsigned>(t));
      for (int round = 0; round < 5; ++round) {
        for (const std::string& page : pages) {
          found[t].push_back(
              engine_pages::Scan(engine, page, engine_pages::RandomCuts(cuts, page.size()))
                  .records);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    ASSERT_EQ(found[t].size(), 5 * pages.size());
    for (size_t i = 0; i < found[t].size(); ++i) {
      EXPECT_EQ(found[t][i], expected[i % pages.size()]) << "thread " << t << " page " << i;
    }
  }
}

}  // namespace
