#pragma once
// The command line of the quillon tool.
#include <string>
#include <vector>

namespace cli {

inline constexpr int kMaxKeywords = 6;

struct Options {
  bool quiet = false;
  bool help = false;
  bool version = false;
  std::string input;
  std::string output;
  std::vector<std::string> keywords;  // at most kMaxKeywords
  std::string error;                  // non-empty: a usage error, nothing else holds
};

// Reads `arguments` (without the program name). Options may stand anywhere before "--";
// after it everything is a file name or keyword. "-" alone is an operand.
Options ParseOptions(const std::vector<std::string>& arguments);

// The usage text, for --help and (first line) for usage errors.
std::string UsageText();

}  // namespace cli
