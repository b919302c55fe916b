// Every end-to-end case, through the export, in both input/output modes.
#include <gtest/gtest.h>

#include "library/io_mode.h"
#include "tests/cases/extraction_cases.h"
#include "tests/support/linux_test_support.h"

namespace {

using testing_support::BoxRecorder;
using testing_support::ReadFile;
using testing_support::RunExport;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

struct ModeAndCase {
  quillon::IoMode mode;
  size_t index;
};

class ExtractionCaseTest : public ::testing::TestWithParam<ModeAndCase> {};

TEST_P(ExtractionCaseTest, WritesExactlyTheExpectedBytesAndBoxes) {
  const cases::ExtractionCase& c = cases::ExtractionCases()[GetParam().index];
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"), c.page);
  WriteFile(folder.Path("out.txt"), "left over from before");
  BoxRecorder recorder;
  RunExport(folder.Path("page.htm"), folder.Path("out.txt"), c.keywords, GetParam().mode);
  EXPECT_EQ(ReadFile(folder.Path("out.txt")), c.output);
  EXPECT_EQ(recorder.boxes(), c.boxes);
}

std::vector<ModeAndCase> AllModesAndCases() {
  std::vector<ModeAndCase> all;
  for (quillon::IoMode mode : {quillon::IoMode::Block, quillon::IoMode::Plain}) {
    for (size_t i = 0; i < cases::ExtractionCases().size(); ++i) all.push_back({mode, i});
  }
  return all;
}

std::string CaseName(const ::testing::TestParamInfo<ModeAndCase>& info) {
  std::string name = (info.param.mode == quillon::IoMode::Block ? "Block_" : "Plain_") +
                     cases::ExtractionCases()[info.param.index].name;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Table, ExtractionCaseTest, ::testing::ValuesIn(AllModesAndCases()),
                         CaseName);

}  // namespace
