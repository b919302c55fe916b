// The shared end-to-end table, run through the real QUILLON.dll.
#include <gtest/gtest.h>

#include "tests/cases/extraction_cases.h"
#include "tests/windows/quillon_dll.h"

namespace {

using wintest::Event;

TEST(DllCases, EveryCaseGivesExactlyItsRecordsAndBoxes) {
  wintest::QuillonDll dll;
  ASSERT_TRUE(dll.Loaded());
  ASSERT_FALSE(cases::ExtractionCases().empty());
  for (const cases::ExtractionCase& c : cases::ExtractionCases()) {
    SCOPED_TRACE(c.name);
    wintest::WriteFileBytes("page.htm", c.page);
    wintest::WriteFileBytes("out.txt", "left over from the case before\r\n");
    wintest::Events().clear();
    dll.Run({"page.htm", "out.txt", c.keywords[0], c.keywords[1], c.keywords[2], c.keywords[3],
             c.keywords[4], c.keywords[5]});

    EXPECT_EQ(wintest::ReadFileBytes("out.txt"), c.output);
    std::vector<cases::Box> shown;
    for (const Event& box : wintest::Boxes()) {
      shown.push_back({box.caption, box.text});
      EXPECT_EQ(box.style, static_cast<UINT>(MB_YESNO)) << box.text;
      EXPECT_EQ(box.owner, nullptr) << box.text;
    }
    EXPECT_EQ(shown, c.boxes);
  }
}

}  // namespace
