#pragma once
// End-to-end cases of one extraction run: a page, six keywords, and exactly the bytes and boxes
// the run must give. The Linux tests and the Windows driver under Wine run the same table.
#include <array>
#include <string>
#include <vector>

#include "library/engine.h"

namespace cases {

// One message box as shown: every box of the system has the buttons Yes and No (style 4,
// MB_YESNO) and no owner window.
struct Box {
  std::string caption;
  std::string text;
  unsigned style = 4;
  void* owner = nullptr;
  bool operator==(const Box&) const = default;
};

struct ExtractionCase {
  std::string name;
  std::string page;                     // bytes of the input file
  quillon::ExclusionKeywords keywords;  // missing ones empty
  std::string output;                   // bytes of the output file afterwards
  std::vector<Box> boxes;               // every box, in order
};

// The boxes of a run that finds its files: the opening notice alone.
std::vector<Box> OpeningOnly();

const std::vector<ExtractionCase>& ExtractionCases();

}  // namespace cases
