// The records of every end-to-end case through the C calls, against the file the export writes
// for the same page: whole, through the engine in chunks of 1 and 7 bytes and at once.
#include <gtest/gtest.h>

#include <array>

#include "tests/capi/record_collector.h"
#include "tests/cases/extraction_cases.h"
#include "tests/support/linux_test_support.h"

namespace {

using capi_testing::Collect;
using capi_testing::Collected;

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

  // Empty keywords given as texts to the engine and as NULL entries to quillon_extract.
  std::array<const char*, 6> texts{}, entries{};
  for (size_t i = 0; i < texts.size(); ++i) {
    texts[i] = c.keywords[i].c_str();
    entries[i] = c.keywords[i].empty() ? nullptr : texts[i];
  }
  Collected whole;
  EXPECT_EQ(quillon_extract(c.page.data(), c.page.size(), entries.data(), 6, Collect, &whole),
            QUILLON_OK);
  EXPECT_EQ(whole.text, written);

  Collected chunked;
  quillon_engine* made = nullptr;
  ASSERT_EQ(quillon_engine_new(texts.data(), 6, Collect, &chunked, &made), QUILLON_OK);
  const capi_testing::EnginePtr engine(made, quillon_engine_free);
  for (size_t chunk : {size_t{1}, size_t{7}, c.page.size() + 1}) {
    chunked.text.clear();
    EXPECT_EQ(capi_testing::FeedPage(engine.get(), c.page, chunk), QUILLON_OK);
    EXPECT_EQ(chunked.text, written) << "in chunks of " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, CApiRecordsTest,
                         ::testing::Range(size_t{0}, cases::ExtractionCases().size()));

}  // namespace
