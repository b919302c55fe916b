// The tool's command line: what runs, and what is refused before anything runs.
#include <gtest/gtest.h>

#include "cli/options.h"

namespace {

using cli::Options;
using cli::ParseOptions;

TEST(OptionsTest, AcceptedCommandLines) {
  struct {
    std::vector<std::string> arguments;
    bool quiet;
    std::string input, output;
    std::vector<std::string> keywords;
  } const cases[] = {
      {{"in.htm", "out.txt"}, false, "in.htm", "out.txt", {}},
      {{"-q", "in.htm", "out.txt", "yahoo"}, true, "in.htm", "out.txt", {"yahoo"}},
      {{"in.htm", "--quiet", "out.txt"}, true, "in.htm", "out.txt", {}},
      {{"in", "out", "1", "2", "3", "4", "5", "6"},
       false,
       "in",
       "out",
       {"1", "2", "3", "4", "5", "6"}},
      {{"--", "-q", "-out", ""}, false, "-q", "-out", {""}},
      {{"-", "out"}, false, "-", "out", {}},
  };
  for (const auto& c : cases) {
    Options options = ParseOptions(c.arguments);
    EXPECT_EQ(options.error, "") << c.arguments[0];
    EXPECT_EQ(options.quiet, c.quiet) << c.arguments[0];
    EXPECT_EQ(options.input, c.input);
    EXPECT_EQ(options.output, c.output);
    EXPECT_EQ(options.keywords, c.keywords);
  }
}

TEST(OptionsTest, UsageErrors) {
  struct {
    std::vector<std::string> arguments;
    std::string error;
  } const cases[] = {
      {{}, "missing input and output file names"},
      {{"in.htm"}, "missing output file name"},
      {{"-q", "in.htm"}, "missing output file name"},
      {{"in", "out", "1", "2", "3", "4", "5", "6", "7"}, "at most six keywords, got 7"},
      {{"-x", "in", "out"}, "unknown option '-x'"},
      {{"in", "out", "--keyword=a"}, "unknown option '--keyword=a'"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseOptions(c.arguments).error, c.error);
}

TEST(OptionsTest, HelpAndVersionNeedNoFiles) {
  EXPECT_TRUE(ParseOptions({"--help"}).help);
  EXPECT_TRUE(ParseOptions({"-h"}).help);
  EXPECT_TRUE(ParseOptions({"--version"}).version);
  EXPECT_EQ(ParseOptions({"-V"}).error, "");
}

}  // namespace
