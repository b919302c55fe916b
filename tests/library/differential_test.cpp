// The run against the plain reading of the page over many generated pages and keywords: the
// same output bytes, the boxes expected, the same state left behind, also when every write
// fails.
#include <gtest/gtest.h>

#include <random>

#include "fuzz/reference_run.h"
#include "library/run_state.h"
#include "tests/cases/run_boxes.h"
#include "tests/library/engine_pages.h"
#include "tests/support/linux_test_support.h"

namespace {

using testing_support::BoxRecorder;
using testing_support::ReadFile;
using testing_support::RunExport;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

struct Outcome {
  std::string output;
  std::vector<cases::Box> boxes;
  std::string status;
  std::string current_url;
};

Outcome Run(const std::string& input, const std::string& output,
            const quillon::ExclusionKeywords& keywords) {
  BoxRecorder recorder;
  RunExport(input, output, keywords);
  return Outcome{output == "/dev/full" ? "" : ReadFile(output), recorder.boxes(),
                 std::string(quillon::StatusText.GetString(),
                             static_cast<size_t>(quillon::StatusText.GetLength())),
                 quillon::CurrentUrl
                     ? std::string(quillon::CurrentUrl->GetString(),
                                   static_cast<size_t>(quillon::CurrentUrl->GetLength()))
                     : std::string()};
}

void ExpectSameOutcome(const std::string& page, const quillon::ExclusionKeywords& keywords,
                       bool full_output, const std::string& label) {
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"), page);
  std::string output = full_output ? "/dev/full" : folder.Path("out.txt");
  Outcome seen = Run(folder.Path("page.htm"), output, keywords);
  fuzzing::ReferenceResult expected = fuzzing::ReferenceRun(page, keywords);
  std::vector<cases::Box> boxes = cases::OpeningOnly();
  std::string status = expected.status;
  if (full_output) {
    // Every address that would have been written brings up its box; the error number stays
    // in StatusText when nothing was read after the last one.
    boxes.resize(1 + expected.written_addresses.size(), cases::kWriteFailed);
    if (expected.ended_on_record) status = std::to_string(ENOSPC);
  }
  EXPECT_EQ(seen.output, full_output ? "" : expected.output) << label;
  EXPECT_EQ(seen.boxes, boxes) << label;
  EXPECT_EQ(seen.status, status) << label;
  // Left from the run before when this one captured nothing.
  if (expected.current_url) {
    EXPECT_EQ(seen.current_url, *expected.current_url) << label;
  }
}

TEST(Differential, SmallPagesAndKeywords) {
  std::mt19937 random(20261208);
  const quillon::ExclusionKeywords keyword_sets[] = {
      {}, {"yahoo"}, {"", "", "", "", "", "example"}, {"/"}, {"\x5c"}};
  for (int round = 0; round < 300; ++round) {
    std::string page = engine_pages::MakePage(random, 1 + random() % 200);
    ExpectSameOutcome(page, keyword_sets[round % std::size(keyword_sets)], false,
                      "round " + std::to_string(round));
  }
}

TEST(Differential, PagesLargerThanOneBlock) {
  // Anchors and failed attempts straddle the block boundaries of the reader.
  std::mt19937 random(7);
  for (int round = 0; round < 2; ++round) {
    std::string page = engine_pages::MakePage(random, 25000 + random() % 5000);
    ExpectSameOutcome(page, {"yahoo"}, false, "large round " + std::to_string(round));
  }
}

TEST(Differential, OutputThatFailsEveryWrite) {
  std::mt19937 random(99);
  for (int round = 0; round < 20; ++round) {
    std::string page = engine_pages::MakePage(random, 50 + random() % 300);
    ExpectSameOutcome(page, {"yahoo"}, true, "full round " + std::to_string(round));
  }
}

}  // namespace
