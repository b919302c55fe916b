// Every end-to-end case, through the export.
#include <gtest/gtest.h>

#include "tests/cases/extraction_cases.h"
#include "tests/support/linux_test_support.h"

namespace {

using testing_support::BoxRecorder;
using testing_support::ReadFile;
using testing_support::RunExport;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

class ExtractionCaseTest : public ::testing::TestWithParam<size_t> {};

TEST_P(ExtractionCaseTest, WritesExactlyTheExpectedBytesAndBoxes) {
  const cases::ExtractionCase& c = cases::ExtractionCases()[GetParam()];
  ScratchFolder folder;
  WriteFile(folder.Path("page.htm"), c.page);
  WriteFile(folder.Path("out.txt"), "left over from before");
  BoxRecorder recorder;
  RunExport(folder.Path("page.htm"), folder.Path("out.txt"), c.keywords);
  EXPECT_EQ(ReadFile(folder.Path("out.txt")), c.output);
  EXPECT_EQ(recorder.boxes(), c.boxes);
}

std::string CaseName(const ::testing::TestParamInfo<size_t>& info) {
  std::string name = cases::ExtractionCases()[info.param].name;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Table, ExtractionCaseTest,
                         ::testing::Range(size_t{0}, cases::ExtractionCases().size()), CaseName);

}  // namespace
